// The audio side: buses and their arrangements, the processing set-up and
// the process call, with the host's parameter changes applied on the
// samples they name.
#include <algorithm>
#include <bit>
#include <cmath>
#include <type_traits>

#include "vst3/IVst3Plugin.h"

namespace mg {

using namespace vst3;

namespace {

bool IsMainAudioBus(MediaType type, BusDirection dir, int32 index)
{
    return type == kAudio && (dir == kInput || dir == kOutput) && index == 0;
}

int ChannelsOf(SpeakerArrangement arrangement) { return std::popcount(arrangement); }

} // namespace

// ---- buses ----------------------------------------------------------------------------

int32 MG_VST3_CALL IVst3Plugin::getBusCount(MediaType type, BusDirection dir)
{
    return type == kAudio && (dir == kInput || dir == kOutput) ? 1 : 0;
}

tresult MG_VST3_CALL IVst3Plugin::getBusInfo(MediaType type, BusDirection dir, int32 index, BusInfo& bus)
{
    if (!IsMainAudioBus(type, dir, index)) return kInvalidArgument;
    bus = BusInfo{};
    bus.mediaType = kAudio;
    bus.direction = dir;
    bus.channelCount = ChannelsOf(arrangement_);
    const char16_t* name = dir == kInput ? u"Input" : u"Output";
    for (int i = 0; name[i] != u'\0'; ++i) bus.name[i] = name[i];
    bus.busType = kMain;
    bus.flags = BusInfo::kDefaultActive;
    return kResultOk;
}

tresult MG_VST3_CALL IVst3Plugin::getRoutingInfo(RoutingInfo&, RoutingInfo&) { return kNotImplemented; }

tresult MG_VST3_CALL IVst3Plugin::setIoMode(IoMode) { return kNotImplemented; }

tresult MG_VST3_CALL IVst3Plugin::getControllerClassId(TUID)
{
    // The object is its own controller.
    return kNotImplemented;
}

tresult MG_VST3_CALL IVst3Plugin::activateBus(MediaType type, BusDirection dir, int32 index, TBool)
{
    // Every process call brings its own buffers, or none: nothing to switch.
    return IsMainAudioBus(type, dir, index) ? kResultOk : kInvalidArgument;
}

// Hosts may call this on their audio thread: it only compares and stores.
tresult MG_VST3_CALL IVst3Plugin::setBusArrangements(SpeakerArrangement* inputs, int32 numIns,
                                                     SpeakerArrangement* outputs, int32 numOuts)
{
    if (numIns < 0 || numOuts < 0 || (numIns > 0 && !inputs) || (numOuts > 0 && !outputs)) return kInvalidArgument;
    if (numIns != 1 || numOuts != 1) return kResultFalse;
    const SpeakerArrangement in = inputs[0];
    const SpeakerArrangement out = outputs[0];
    const bool known = in == kSpeakerArrMono || in == kSpeakerArrStereo;
    if (in != out || !known || !LegalIO(ChannelsOf(in), ChannelsOf(out))) return kResultFalse;
    arrangement_ = in;
    return kResultTrue;
}

tresult MG_VST3_CALL IVst3Plugin::getBusArrangement(BusDirection dir, int32 index, SpeakerArrangement& arr)
{
    if (!IsMainAudioBus(kAudio, dir, index)) return kInvalidArgument;
    arr = arrangement_;
    return kResultOk;
}

// ---- set-up and activation ------------------------------------------------------------------

tresult MG_VST3_CALL IVst3Plugin::canProcessSampleSize(int32 symbolicSampleSize)
{
    return symbolicSampleSize == kSample32 || symbolicSampleSize == kSample64 ? kResultTrue : kResultFalse;
}

uint32 MG_VST3_CALL IVst3Plugin::getLatencySamples() { return static_cast<uint32>(std::max(Latency(), 0)); }

bool IVst3Plugin::SizeBuffers(int blockLength)
{
    try {
        const auto n = static_cast<std::size_t>(blockLength);
        silence32_.assign(n, 0.0f);
        discard32_.assign(n, 0.0f);
        silence64_.assign(n, 0.0);
        discard64_.assign(n, 0.0);
    } catch (...) {
        blockLength = 0;
    }
    SetBlockLength(blockLength);
    // Both or neither: a failed allocation leaves nothing to render with.
    if (BlockLength() != blockLength || blockLength == 0) {
        SetBlockLength(0);
        for (auto* v : {&silence32_, &discard32_}) std::vector<float>().swap(*v);
        for (auto* v : {&silence64_, &discard64_}) std::vector<double>().swap(*v);
        return false;
    }
    return true;
}

tresult MG_VST3_CALL IVst3Plugin::setupProcessing(ProcessSetup& setup)
{
    LockGuard guard(Lock());
    if (active_) return kResultFalse;
    const bool sizeKnown = setup.symbolicSampleSize == kSample32 || setup.symbolicSampleSize == kSample64;
    // A rate that is no positive number would poison every filter design.
    if (!sizeKnown || !(std::isfinite(setup.sampleRate) && setup.sampleRate > 0.0) || setup.maxSamplesPerBlock <= 0)
        return kInvalidArgument;
    if (!SizeBuffers(std::min(setup.maxSamplesPerBlock, kMaxBlockLength))) return kOutOfMemory;
    StoreSampleRate(setup.sampleRate);
    OnReset();
    return kResultOk;
}

tresult MG_VST3_CALL IVst3Plugin::setActive(TBool state)
{
    LockGuard guard(Lock());
    const bool on = state != 0;
    if (on && !initialized_) return kResultFalse;
    if (on == active_) return kResultOk;
    active_ = on;
    OnActivate(on);
    if (!on) {
        processing_ = false;
        OnReset();
    }
    return kResultOk;
}

tresult MG_VST3_CALL IVst3Plugin::setProcessing(TBool state)
{
    // May come on the audio thread, and twice in a row: only a flag.
    LockGuard guard(Lock());
    if (state && !active_) return kResultFalse;
    processing_ = state != 0;
    return kResultOk;
}

// ---- parameter changes -----------------------------------------------------------------------

void IVst3Plugin::GatherChanges(IParameterChanges* changes, int32 frames)
{
    points_.clear();
    const int32 queues = changes ? changes->getParameterCount() : 0;
    for (int32 q = 0; q < queues; ++q) {
        IParamValueQueue* queue = changes->getParameterData(q);
        if (!queue) continue;
        const ParamID id = queue->getParameterId();
        const int32 count = queue->getPointCount();
        for (int32 p = 0; p < count; ++p) {
            // A full list keeps only the queue's last point, where it ends up.
            if (points_.size() == points_.capacity() && p + 1 < count) {
                p = count - 2;
                continue;
            }
            int32 offset = 0;
            ParamValue value = 0.0;
            if (queue->getPoint(p, offset, value) != kResultOk) continue;
            ChangePoint point{std::clamp(offset, 0, std::max(frames, 0)), id, value};
            if (points_.size() == points_.capacity()) points_.back() = point;
            else points_.push_back(point);
        }
    }
    // In order of their samples; a parameter's points keep their order.
    std::stable_sort(points_.begin(), points_.end(),
                     [](const ChangePoint& a, const ChangePoint& b) { return a.offset < b.offset; });
}

void IVst3Plugin::ReportChangedValues(IParameterChanges* changes)
{
    if (!reportValues_ || !changes) return;
    reportValues_ = false;
    for (int i = 0; i < ParameterCount(); ++i) {
        const ParamID id = static_cast<ParamID>(i);
        int32 index = 0;
        IParamValueQueue* queue = changes->addParameterData(id, index);
        if (queue) queue->addPoint(0, ParameterAt(i)->Normalized(), index);
    }
}

// ---- rendering -------------------------------------------------------------------------------

template <class Sample>
void IVst3Plugin::RenderRange(const ProcessData& data, int begin, int end)
{
    constexpr bool isDouble = std::is_same_v<Sample, double>;
    auto channelsOf = [](const AudioBusBuffers* bus) -> Sample** {
        if constexpr (isDouble) return bus ? bus->channelBuffers64 : nullptr;
        else return bus ? bus->channelBuffers32 : nullptr;
    };
    const AudioBusBuffers* inBus = data.numInputs > 0 ? data.inputs : nullptr;
    const AudioBusBuffers* outBus = data.numOutputs > 0 ? data.outputs : nullptr;
    Sample** hostIn = channelsOf(inBus);
    Sample** hostOut = channelsOf(outBus);
    const int hostInCount = hostIn ? inBus->numChannels : 0;
    const int hostOutCount = hostOut ? outBus->numChannels : 0;

    std::vector<Sample*>& in = [this]() -> std::vector<Sample*>& {
        if constexpr (isDouble) return sliceIn64_;
        else return sliceIn32_;
    }();
    std::vector<Sample*>& out = [this]() -> std::vector<Sample*>& {
        if constexpr (isDouble) return sliceOut64_;
        else return sliceOut32_;
    }();
    Sample* silence;
    Sample* discard;
    if constexpr (isDouble) {
        silence = silence64_.data();
        discard = discard64_.data();
    } else {
        silence = silence32_.data();
        discard = discard32_.data();
    }

    const int slice = BlockLength();
    for (int at = begin; at < end; at += slice) {
        const int n = std::min(slice, end - at);
        // Channels the host gives no buffer for hear silence and write nowhere.
        for (std::size_t i = 0; i < in.size(); ++i) {
            Sample* buffer = static_cast<int>(i) < hostInCount ? hostIn[i] : nullptr;
            in[i] = buffer ? buffer + at : silence;
        }
        for (std::size_t i = 0; i < out.size(); ++i) {
            Sample* buffer = static_cast<int>(i) < hostOutCount ? hostOut[i] : nullptr;
            out[i] = buffer ? buffer + at : discard;
        }
        if constexpr (isDouble) {
            BindInputBuffers(0, InputChannelCount(), in.data());
            BindOutputBuffers(0, OutputChannelCount(), out.data());
            RenderBlock(n);
        } else {
            BindInputBuffers(0, InputChannelCount(), in.data(), n);
            BindOutputBuffers(0, OutputChannelCount(), out.data());
            RenderBlockFloat(n);
        }
    }
}

tresult MG_VST3_CALL IVst3Plugin::process(ProcessData& data)
{
    LockGuard guard(Lock());
    if (!active_) return kResultFalse;
    const bool isDouble = data.symbolicSampleSize == kSample64;
    if (!isDouble && data.symbolicSampleSize != kSample32) return kInvalidArgument;
    haveContext_ = data.processContext != nullptr;
    if (haveContext_) context_ = *data.processContext;

    // Changes first: a call with no audio may still bring them.
    const int frames = std::max(data.numSamples, 0);
    GatherChanges(data.inputParameterChanges, frames);
    const bool render = frames > 0 && BlockLength() > 0 && data.numOutputs > 0 && data.outputs;
    int done = 0;
    for (const ChangePoint& point : points_) {
        if (render && point.offset > done) {
            if (isDouble) RenderRange<double>(data, done, point.offset);
            else RenderRange<float>(data, done, point.offset);
            done = point.offset;
        }
        ApplyChange(point.id, point.value);
    }
    if (render && done < frames) {
        if (isDouble) RenderRange<double>(data, done, frames);
        else RenderRange<float>(data, done, frames);
    }
    if (data.outputs && data.numOutputs > 0) data.outputs[0].silenceFlags = 0;
    ReportChangedValues(data.outputParameterChanges);
    return kResultOk;
}

} // namespace mg
