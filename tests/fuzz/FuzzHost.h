#pragma once
// A host callback for the fuzz targets: answers what a plain host answers,
// with a product name and transport the target may choose, and never calls
// back into the plug-in.
#include <cstring>

#include "vst/VstAbi.h"

namespace mg::fuzz {

struct FuzzHost {
    // The callback is a plain function, so its answers are process-wide.
    static inline char product[vst::kVstMaxProductStrLen] = "Fuzz Host";
    static inline vst::intptr vendorVersion = 1000;
    static inline vst::VstTimeInfo time{};
    static inline bool answerTime = true;

    static void Choose(unsigned pick)
    {
        static constexpr const char* kProducts[] = {"Fuzz Host", "", "Cubase VST", "REAPER", "FL Studio Fruity",
                                                    "Forte", "Adobe Audition", "Orion", "SAWStudio", "Live"};
        std::strncpy(product, kProducts[pick % (sizeof kProducts / sizeof kProducts[0])], sizeof product - 1);
        vendorVersion = static_cast<vst::intptr>(pick) * 7919 - 50000;
        answerTime = (pick & 8) != 0;
        time = vst::VstTimeInfo{};
        time.samplePos = (pick & 16) ? -1.0e300 : 1.0e12;
        time.tempo = (pick & 32) ? -5.0 : 120.0;
        time.timeSigNumerator = 4;
        time.timeSigDenominator = (pick & 64) ? -4 : 4;
        time.flags = static_cast<vst::int32>(pick * 0x1357);
    }

    static vst::intptr Callback(vst::AEffect*, vst::int32 opcode, vst::int32, vst::intptr, void* ptr, float)
    {
        switch (opcode) {
        case vst::audioMasterVersion:
            return 2400;
        case vst::audioMasterGetProductString:
            // The interface promises the plug-in room for this many bytes.
            if (ptr) std::memcpy(ptr, product, sizeof product);
            return 1;
        case vst::audioMasterGetVendorVersion:
            return vendorVersion;
        case vst::audioMasterGetTime:
            return answerTime ? reinterpret_cast<vst::intptr>(&time) : 0;
        case vst::audioMasterProcessEvents:
            return 1;
        default:
            return 0;
        }
    }
};

} // namespace mg::fuzz
