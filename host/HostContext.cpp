#include "HostContext.h"

#include <cmath>
#include <cstring>

namespace mg::host {
namespace {

std::atomic<HostContext*> gActive{nullptr};

// How deep the calling thread is in process calls.
thread_local int tProcessDepth = 0;

// What this host can do when a plug-in asks; everything else is a "no".
constexpr const char* kHostCanDo[] = {
    "sendVstTimeInfo",
    "startStopProcess",
    "receiveVstEvents",
    "receiveVstMidiEvent",
};

// Copies `text` into a plug-in's buffer of `size` bytes, always terminated.
vst::intptr CopyOut(void* ptr, const char* text, std::size_t size)
{
    if (!ptr)
        return 0;
    auto* out = static_cast<char*>(ptr);
    std::strncpy(out, text, size - 1);
    out[size - 1] = '\0';
    return 1;
}

} // namespace

HostContext::HostContext(double sampleRate, int blockSize)
    : sampleRate_(sampleRate), blockSize_(blockSize)
{
    gActive.store(this);
}

HostContext::~HostContext()
{
    HostContext* self = this;
    gActive.compare_exchange_strong(self, nullptr);
}

vst::intptr VST_CALL HostContext::Callback(vst::AEffect* /*effect*/, vst::int32 opcode, vst::int32 index,
                                           vst::intptr value, void* ptr, float opt)
{
    HostContext* context = gActive.load();
    if (!context)
        return opcode == vst::audioMasterVersion ? kHostVstVersion : 0;
    return context->Answer(opcode, index, value, ptr, opt);
}

void HostContext::SetSampleRate(double rate)
{
    sampleRate_.store(rate, std::memory_order_relaxed);
}

void HostContext::SetBlockSize(int frames)
{
    blockSize_.store(frames, std::memory_order_relaxed);
}

void HostContext::StartRendering()
{
    samplePos_.store(0.0, std::memory_order_relaxed);
    rendering_.store(true);
}

void HostContext::Advance(int frames)
{
    // Only the processing thread writes the position: load and store need
    // no read-modify-write.
    samplePos_.store(samplePos_.load(std::memory_order_relaxed) + frames, std::memory_order_relaxed);
}

void HostContext::StopRendering()
{
    rendering_.store(false);
}

HostContext::ProcessCall::ProcessCall()
{
    ++tProcessDepth;
}

HostContext::ProcessCall::~ProcessCall()
{
    --tProcessDepth;
}

int HostContext::Count(vst::int32 opcode) const
{
    if (opcode < 0 || opcode >= kCountedOpcodes)
        return 0;
    return counts_[static_cast<std::size_t>(opcode)].load(std::memory_order_relaxed);
}

// A steady 120 BPM in 4/4 from sample 0: enough for tempo-synced plug-ins to
// behave as they would on a playing timeline. The pointer a plug-in gets
// stays valid on its thread until its next request, as hosts promise.
const vst::VstTimeInfo* HostContext::TimeInfo() const
{
    thread_local vst::VstTimeInfo time{};
    const double rate = SampleRate();
    time.samplePos = samplePos_.load(std::memory_order_relaxed);
    time.sampleRate = rate;
    time.tempo = kTempo;
    time.ppqPos = rate > 0.0 ? time.samplePos / rate * kTempo / 60.0 : 0.0;
    time.barStartPos = std::floor(time.ppqPos / 4.0) * 4.0;
    time.timeSigNumerator = 4;
    time.timeSigDenominator = 4;
    time.flags = vst::kVstTempoValid | vst::kVstTimeSigValid | vst::kVstPpqPosValid | vst::kVstBarsValid;
    if (rendering_.load())
        time.flags |= vst::kVstTransportPlaying;
    return &time;
}

vst::intptr HostContext::Answer(vst::int32 opcode, vst::int32 index, vst::intptr value, void* ptr,
                                float /*opt*/)
{
    if (opcode >= 0 && opcode < kCountedOpcodes)
        counts_[static_cast<std::size_t>(opcode)].fetch_add(1, std::memory_order_relaxed);

    switch (opcode) {
    case vst::audioMasterVersion:
        return kHostVstVersion;
    case vst::audioMasterAutomate:
    case vst::audioMasterBeginEdit:
    case vst::audioMasterEndEdit:
    case vst::audioMasterProcessEvents:
        return 1;
    case vst::audioMasterGetTime:
        return reinterpret_cast<vst::intptr>(TimeInfo());
    case vst::audioMasterGetSampleRate:
        return static_cast<vst::intptr>(std::lround(SampleRate()));
    case vst::audioMasterGetBlockSize:
        return BlockSize();
    case vst::audioMasterGetCurrentProcessLevel:
        return tProcessDepth > 0 ? 2 : 1; // real time inside a process call, else the user thread
    case vst::audioMasterGetVendorString:
        return CopyOut(ptr, kHostVendor, vst::kVstMaxVendorStrLen);
    case vst::audioMasterGetProductString:
        return CopyOut(ptr, kHostProduct, vst::kVstMaxProductStrLen);
    case vst::audioMasterGetVendorVersion:
        return kHostVendorVersion;
    case vst::audioMasterCanDo:
        if (ptr) {
            for (const char* can : kHostCanDo)
                if (std::strcmp(static_cast<const char*>(ptr), can) == 0)
                    return 1;
        }
        return 0;
    case vst::audioMasterIOChanged: // buffers are fixed once rendering starts
        return 0;
    case vst::audioMasterSizeWindow: {
        // Never from the audio thread: a window is no business of real time.
        IEditorFrame* frame = frame_.load();
        return frame && tProcessDepth == 0 && frame->Resize(index, static_cast<int>(value)) ? 1 : 0;
    }
    default:
        if (opcode < 0 || opcode >= kCountedOpcodes)
            unknown_.fetch_add(1, std::memory_order_relaxed);
        return 0;
    }
}

} // namespace mg::host
