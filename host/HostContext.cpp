#include "HostContext.h"

#include <cmath>
#include <cstring>

namespace mg::host {
namespace {

std::atomic<HostContext*> gActive{nullptr};

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
    UpdateTime();
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
    sampleRate_ = rate;
    UpdateTime();
}

void HostContext::SetBlockSize(int frames)
{
    blockSize_ = frames;
}

void HostContext::StartRendering()
{
    time_.samplePos = 0.0;
    rendering_.store(true);
    UpdateTime();
}

void HostContext::Advance(int frames)
{
    time_.samplePos += frames;
    UpdateTime();
}

void HostContext::StopRendering()
{
    rendering_.store(false);
    UpdateTime();
}

int HostContext::Count(vst::int32 opcode) const
{
    if (opcode < 0 || opcode >= kCountedOpcodes)
        return 0;
    return counts_[static_cast<std::size_t>(opcode)].load(std::memory_order_relaxed);
}

// A steady 120 BPM in 4/4 from sample 0: enough for tempo-synced plug-ins to
// behave as they would on a playing timeline.
void HostContext::UpdateTime()
{
    time_.sampleRate = sampleRate_;
    time_.tempo = kTempo;
    time_.ppqPos = sampleRate_ > 0.0 ? time_.samplePos / sampleRate_ * kTempo / 60.0 : 0.0;
    time_.barStartPos = std::floor(time_.ppqPos / 4.0) * 4.0;
    time_.timeSigNumerator = 4;
    time_.timeSigDenominator = 4;
    time_.flags = vst::kVstTempoValid | vst::kVstTimeSigValid | vst::kVstPpqPosValid | vst::kVstBarsValid;
    if (rendering_.load())
        time_.flags |= vst::kVstTransportPlaying;
}

vst::intptr HostContext::Answer(vst::int32 opcode, vst::int32 /*index*/, vst::intptr /*value*/, void* ptr,
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
        return reinterpret_cast<vst::intptr>(&time_);
    case vst::audioMasterGetSampleRate:
        return static_cast<vst::intptr>(std::lround(sampleRate_));
    case vst::audioMasterGetBlockSize:
        return blockSize_;
    case vst::audioMasterGetCurrentProcessLevel:
        return rendering_.load() ? 2 : 1; // real time while rendering, else the user thread
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
    case vst::audioMasterIOChanged:  // buffers are fixed once rendering starts
    case vst::audioMasterSizeWindow: // no editor window
        return 0;
    default:
        if (opcode < 0 || opcode >= kCountedOpcodes)
            unknown_.fetch_add(1, std::memory_order_relaxed);
        return 0;
    }
}

} // namespace mg::host
