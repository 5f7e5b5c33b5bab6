#pragma once
// The library's LV2 entry point: one descriptor per plug-in class, whose
// callbacks reach the instance's binding. Nothing thrown inside crosses
// back into the host.
#include <lv2/core/lv2.h>

#include "lv2/ILv2Plugin.h"

namespace mg {

using Lv2Factory = ILv2Plugin* (*)(ILv2Plugin::Host host);

// The host sees `descriptor`; the rest is ours (it is the first member, so
// the host's pointer leads back to the whole).
struct Lv2Descriptor {
    LV2_Descriptor descriptor;
    Lv2Factory create;
};

Lv2Descriptor MakeLv2Descriptor(const char* uri, Lv2Factory create);

} // namespace mg

// Defines lv2_descriptor for one plug-in class under its URI.
#define MG_LV2_ENTRY(Plugin, uri)                                                                    \
    LV2_SYMBOL_EXPORT const LV2_Descriptor* lv2_descriptor(uint32_t index)                           \
    {                                                                                                \
        static const mg::Lv2Descriptor descriptor = mg::MakeLv2Descriptor(                           \
            uri, [](mg::ILv2Plugin::Host host) -> mg::ILv2Plugin* { return new Plugin(host); });     \
        return index == 0 ? &descriptor.descriptor : nullptr;                                        \
    }
