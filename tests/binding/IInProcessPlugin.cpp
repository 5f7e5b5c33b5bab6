#include "IInProcessPlugin.h"

namespace mg::test {

IInProcessPlugin::IInProcessPlugin(Host host, int parameterCount, const char* channelIOStr, int presetCount,
                                   const PluginIdentity& identity, const PluginOptions& options)
    : IAudioPlugin(parameterCount, channelIOStr, presetCount, identity, options), host_(host)
{
    ConnectInputChannels(0, InputChannelCount(), true);
    ConnectOutputChannels(0, OutputChannelCount(), true);
    EnsureOnePreset();
}

void IInProcessPlugin::Open()
{
    LockGuard guard(Lock());
    AdaptToHost();
    ChangeAllParameters();
}

void IInProcessPlugin::SetSampleRate(double rate)
{
    LockGuard guard(Lock());
    StoreSampleRate(rate);
    OnReset();
}

void IInProcessPlugin::Process(double** inputs, double** outputs, int frames)
{
    LockGuard guard(Lock());
    BindInputBuffers(0, InputChannelCount(), inputs);
    BindOutputBuffers(0, OutputChannelCount(), outputs);
    RenderBlock(frames);
}

bool IInProcessPlugin::SaveState(IByteChunk& chunk)
{
    chunk.Clear();
    return SerializeState(chunk);
}

bool IInProcessPlugin::LoadState(const IByteChunk& chunk)
{
    LockGuard guard(Lock());
    if (UnserializeState(chunk, 0) < 0) return false;
    PushValuesToEditor();
    return true;
}

void IInProcessPlugin::BeginHostEdit(int index) { host_->requests.push_back({'b', index, 0.0}); }

void IInProcessPlugin::InformHostOfChange(int index, double normalized)
{
    host_->requests.push_back({'a', index, normalized});
}

void IInProcessPlugin::EndHostEdit(int index) { host_->requests.push_back({'e', index, 0.0}); }

} // namespace mg::test
