#pragma once
// The host as a plug-in sees it: what it answers through the host callback
// (identity, audio settings, transport, process level) and a count of the
// plug-in's requests for --verbose.
//
// One context is active at a time: the callback has no other way to find it
// while the entry point runs, when the plug-in has no AEffect to pass yet.
#include <array>
#include <atomic>

#include "VstAbi.h"

namespace mg::host {

constexpr vst::int32 kHostVstVersion = 2400;
constexpr vst::int32 kHostVendorVersion = 1000;
constexpr const char* kHostProduct = "mg-host";
constexpr const char* kHostVendor = "tonewrights";
constexpr double kTempo = 120.0;

class HostContext {
public:
    static constexpr int kCountedOpcodes = 64;

    HostContext(double sampleRate, int blockSize);
    ~HostContext();
    HostContext(const HostContext&) = delete;
    HostContext& operator=(const HostContext&) = delete;

    // The function handed to the plug-in's entry point.
    static vst::intptr VST_CALL Callback(vst::AEffect* effect, vst::int32 opcode, vst::int32 index,
                                         vst::intptr value, void* ptr, float opt);

    void SetSampleRate(double rate);
    void SetBlockSize(int frames);
    double SampleRate() const { return sampleRate_; }
    int BlockSize() const { return blockSize_; }

    // Rendering: the transport rolls from sample 0 and the process level
    // says "real time" until StopRendering(). Advance() after every block.
    void StartRendering();
    void Advance(int frames);
    void StopRendering();

    // How often the plug-in asked for `opcode`; other opcodes in Unknown().
    int Count(vst::int32 opcode) const;
    int UnknownCount() const { return unknown_.load(std::memory_order_relaxed); }

private:
    vst::intptr Answer(vst::int32 opcode, vst::int32 index, vst::intptr value, void* ptr, float opt);
    void UpdateTime();

    double sampleRate_;
    int blockSize_;
    std::atomic<bool> rendering_{false};
    vst::VstTimeInfo time_{};
    std::array<std::atomic<int>, kCountedOpcodes> counts_{};
    std::atomic<int> unknown_{0};
};

} // namespace mg::host
