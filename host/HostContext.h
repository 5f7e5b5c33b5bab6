#pragma once
// The host as a plug-in sees it: what it answers through the host callback
// (identity, audio settings, transport, process level) and a count of the
// plug-in's requests for --verbose.
//
// One context is active at a time: the callback has no other way to find it
// while the entry point runs, when the plug-in has no AEffect to pass yet.
//
// Any thread may ask: the audio thread inside a process call, the editor's
// thread, a thread of the plug-in's own. Each gets the answers for itself
// (the process level, its own copy of the time info), and nothing it reads
// is written by another thread without synchronisation.
#include <array>
#include <atomic>

#include "VstAbi.h"

namespace mg::host {

constexpr vst::int32 kHostVstVersion = 2400;
constexpr vst::int32 kHostVendorVersion = 1000;
constexpr const char* kHostProduct = "mg-host";
constexpr const char* kHostVendor = "tonewrights";
constexpr double kTempo = 120.0;

// The window a plug-in's editor sits in, as far as the plug-in may change it.
class IEditorFrame {
public:
    // audioMasterSizeWindow; false when the window cannot take a new size.
    virtual bool Resize(int width, int height) = 0;

protected:
    ~IEditorFrame() = default;
};

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
    double SampleRate() const { return sampleRate_.load(std::memory_order_relaxed); }
    int BlockSize() const { return blockSize_.load(std::memory_order_relaxed); }

    // Rendering: the transport rolls from sample 0 until StopRendering().
    // Advance() after every block, on the thread that processes.
    void StartRendering();
    void Advance(int frames);
    void StopRendering();

    // Marks the calling thread as inside a process call while it lives:
    // asked from there, the process level is "real time"; from anywhere
    // else, "user".
    class ProcessCall {
    public:
        ProcessCall();
        ~ProcessCall();
        ProcessCall(const ProcessCall&) = delete;
        ProcessCall& operator=(const ProcessCall&) = delete;
    };

    // The editor's window, or null while there is none (audioMasterSizeWindow
    // then answers 0). It must outlive its registration.
    void SetEditorFrame(IEditorFrame* frame) { frame_.store(frame); }

    // How often the plug-in asked for `opcode`; other opcodes in Unknown().
    int Count(vst::int32 opcode) const;
    int UnknownCount() const { return unknown_.load(std::memory_order_relaxed); }

private:
    vst::intptr Answer(vst::int32 opcode, vst::int32 index, vst::intptr value, void* ptr, float opt);
    // The calling thread's own copy, filled in now.
    const vst::VstTimeInfo* TimeInfo() const;

    std::atomic<double> sampleRate_;
    std::atomic<int> blockSize_;
    std::atomic<bool> rendering_{false};
    std::atomic<double> samplePos_{0.0}; // written by the thread that processes
    std::atomic<IEditorFrame*> frame_{nullptr};
    std::array<std::atomic<int>, kCountedOpcodes> counts_{};
    std::atomic<int> unknown_{0};
};

} // namespace mg::host
