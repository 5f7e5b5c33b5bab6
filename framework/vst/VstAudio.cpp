// Audio and parameter callbacks: the host's buffers in, the effect's out.
#include <algorithm>
#include <cmath>
#include <cstring>
#include <type_traits>

#include "core/Trace.h"
#include "vst/IVstPlugin.h"

namespace mg {

template <>
std::vector<float*>& IVstPlugin::SliceInputs<float>() { return floatSliceInputs_; }
template <>
std::vector<float*>& IVstPlugin::SliceOutputs<float>() { return floatSliceOutputs_; }
template <>
std::vector<double*>& IVstPlugin::SliceInputs<double>() { return doubleSliceInputs_; }
template <>
std::vector<double*>& IVstPlugin::SliceOutputs<double>() { return doubleSliceOutputs_; }

template <class Sample>
void IVstPlugin::RenderSlice(Sample** inputs, Sample** outputs, int frames, Callback kind)
{
    if constexpr (std::is_same_v<Sample, double>) {
        BindInputBuffers(0, InputChannelCount(), inputs);
        BindOutputBuffers(0, OutputChannelCount(), outputs);
        RenderBlock(frames);
    } else {
        BindInputBuffers(0, InputChannelCount(), inputs, frames);
        BindOutputBuffers(0, OutputChannelCount(), outputs);
        if (kind == Callback::Accumulating) {
            RenderBlockAccumulating(frames);
        } else {
            RenderBlockFloat(frames);
        }
    }
}

template <class Sample>
void IVstPlugin::ProcessCallback(Sample** inputs, Sample** outputs, int frames, Callback kind)
{
    if (frames <= 0) return;
    LockGuard guard(Lock());
    if (doesMidi_) CallHost(vst::audioMasterWantMidi);

    // The host's arrays hold one buffer per connected channel and no more.
    std::size_t hostInputs = 0;
    std::size_t hostOutputs = 0;
    for (int i = 0; i < InputChannelCount(); ++i) hostInputs += IsInputConnected(i) ? 1 : 0;
    for (int i = 0; i < OutputChannelCount(); ++i) hostOutputs += IsOutputConnected(i) ? 1 : 0;

    const int slice = BlockLength();
    if (slice <= 0) {
        // No scratch to render into: a replacing call still owes the host silence.
        if (kind != Callback::Accumulating && outputs)
            for (std::size_t i = 0; i < hostOutputs; ++i)
                if (outputs[i]) std::fill(outputs[i], outputs[i] + frames, Sample(0));
        return;
    }
    if (frames <= slice) {
        RenderSlice(inputs, outputs, frames, kind);
        return;
    }
    // More frames than announced: render in slices the scratch buffers can hold.
    std::vector<Sample*>& in = SliceInputs<Sample>();
    std::vector<Sample*>& out = SliceOutputs<Sample>();
    for (int done = 0; done < frames; done += slice) {
        const int n = std::min(slice, frames - done);
        for (std::size_t i = 0; i < in.size(); ++i)
            in[i] = (inputs && i < hostInputs && inputs[i]) ? inputs[i] + done : nullptr;
        for (std::size_t i = 0; i < out.size(); ++i)
            out[i] = (outputs && i < hostOutputs && outputs[i]) ? outputs[i] + done : nullptr;
        RenderSlice(in.empty() ? nullptr : in.data(), out.empty() ? nullptr : out.data(), n, kind);
    }
}

void VST_CALL IVstPlugin::VSTProcess(vst::AEffect* effect, float** inputs, float** outputs, vst::int32 frames)
{
    if (effect && effect->object)
        static_cast<IVstPlugin*>(effect->object)->ProcessCallback(inputs, outputs, frames, Callback::Accumulating);
}

void VST_CALL IVstPlugin::VSTProcessReplacing(vst::AEffect* effect, float** inputs, float** outputs,
                                              vst::int32 frames)
{
    if (effect && effect->object)
        static_cast<IVstPlugin*>(effect->object)->ProcessCallback(inputs, outputs, frames, Callback::Replacing);
}

void VST_CALL IVstPlugin::VSTProcessDoubleReplacing(vst::AEffect* effect, double** inputs, double** outputs,
                                                    vst::int32 frames)
{
    if (effect && effect->object)
        static_cast<IVstPlugin*>(effect->object)->ProcessCallback(inputs, outputs, frames, Callback::Double);
}

float VST_CALL IVstPlugin::VSTGetParameter(vst::AEffect* effect, vst::int32 index)
{
    if (!effect || !effect->object) return 0.0f;
    auto* plugin = static_cast<IVstPlugin*>(effect->object);
    TraceSink("IVstPlugin::VSTGetParameter", __LINE__, "%d", index);
    LockGuard guard(plugin->Lock());
    const IParameter* parameter = plugin->ParameterAt(index);
    return parameter ? static_cast<float>(parameter->Normalized()) : 0.0f;
}

void VST_CALL IVstPlugin::VSTSetParameter(vst::AEffect* effect, vst::int32 index, float value)
{
    if (!effect || !effect->object) return;
    auto* plugin = static_cast<IVstPlugin*>(effect->object);
    TraceSink("IVstPlugin::VSTSetParameter", __LINE__, "%d:%f", index, static_cast<double>(value));
    plugin->SetParameterFromHost(index, static_cast<double>(value));
}

} // namespace mg
