#include "lv2/ILv2Plugin.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "lv2/RunSlices.h"

namespace mg {

ILv2Plugin::ILv2Plugin(Host host, int parameterCount, const char* channelIOStr, int presetCount,
                       const PluginIdentity& identity, const PluginOptions& options)
    : IAudioPlugin(parameterCount, channelIOStr, presetCount, identity, options)
{
    if (host && std::isfinite(host->sampleRate) && host->sampleRate > 0.0) StoreSampleRate(host->sampleRate);
    ConnectInputChannels(0, InputChannelCount(), true);
    ConnectOutputChannels(0, OutputChannelCount(), true);
    const auto inputs = static_cast<std::size_t>(InputChannelCount());
    const auto outputs = static_cast<std::size_t>(OutputChannelCount());
    inputPorts_.assign(inputs, nullptr);
    outputPorts_.assign(outputs, nullptr);
    controlPorts_.assign(static_cast<std::size_t>(parameterCount), nullptr);
    appliedControls_.assign(static_cast<std::size_t>(parameterCount), std::numeric_limits<float>::quiet_NaN());
    sliceInputs_.assign(inputs, nullptr);
    sliceOutputs_.assign(outputs, nullptr);
    silence_.assign(kSliceFrames, 0.0f);
    discard_.assign(kSliceFrames, 0.0f);
    SetBlockLength(kSliceFrames);
}

void ILv2Plugin::Open(double sampleRate)
{
    LockGuard guard(Lock());
    EnsureOnePreset();
    AdaptToHost();
    ChangeAllParameters();
    StoreSampleRate(sampleRate);
    OnReset();
}

void ILv2Plugin::ConnectPort(std::uint32_t port, void* data)
{
    const auto outputs = static_cast<std::uint32_t>(FirstOutputPort());
    const auto controls = static_cast<std::uint32_t>(FirstControlPort());
    if (port < outputs) {
        inputPorts_[port] = static_cast<const float*>(data);
    } else if (port < controls) {
        outputPorts_[port - outputs] = static_cast<float*>(data);
    } else if (port - controls < controlPorts_.size()) {
        controlPorts_[port - controls] = static_cast<const float*>(data);
    } else if (ReportsLatency() && port == static_cast<std::uint32_t>(LatencyPort())) {
        latencyPort_ = static_cast<float*>(data);
    }
}

void ILv2Plugin::Activate() { OnActivate(true); }

void ILv2Plugin::Deactivate()
{
    OnActivate(false);
    OnReset();
}

void ILv2Plugin::ApplyControlPorts()
{
    for (std::size_t i = 0; i < controlPorts_.size(); ++i) {
        const float* port = controlPorts_[i];
        if (!port) continue;
        const float value = *port;
        if (!std::isfinite(value) || value == appliedControls_[i]) continue;
        appliedControls_[i] = value;
        const int index = static_cast<int>(i);
        // The port is in the parameter's units, the host's change in 0..1;
        // NormalizedOf clamps to the range, and the change steps the value.
        SetParameterFromHost(index, ParameterAt(index)->NormalizedOf(static_cast<double>(value)));
    }
}

void ILv2Plugin::RenderSlice(std::uint32_t offset, int frames)
{
    for (std::size_t i = 0; i < sliceInputs_.size(); ++i)
        sliceInputs_[i] = inputPorts_[i] ? const_cast<float*>(inputPorts_[i]) + offset : silence_.data();
    for (std::size_t i = 0; i < sliceOutputs_.size(); ++i)
        sliceOutputs_[i] = outputPorts_[i] ? outputPorts_[i] + offset : discard_.data();
    BindInputBuffers(0, InputChannelCount(), sliceInputs_.empty() ? nullptr : sliceInputs_.data(), frames);
    BindOutputBuffers(0, OutputChannelCount(), sliceOutputs_.empty() ? nullptr : sliceOutputs_.data());
    RenderBlockFloat(frames);
}

void ILv2Plugin::Run(std::uint32_t frames)
{
    LockGuard guard(Lock());
    ApplyControlPorts();
    if (latencyPort_) *latencyPort_ = static_cast<float>(Latency());
    if (frames == 0) return;
    const int slice = std::min(BlockLength(), static_cast<int>(silence_.size()));
    if (slice <= 0) {
        // No scratch to render into: the host is still owed silence.
        for (float* out : outputPorts_)
            if (out) std::fill(out, out + frames, 0.0f);
        return;
    }
    ForEachSlice(frames, static_cast<std::uint32_t>(slice),
                 [this](std::uint32_t offset, std::uint32_t count) { RenderSlice(offset, static_cast<int>(count)); });
}

} // namespace mg
