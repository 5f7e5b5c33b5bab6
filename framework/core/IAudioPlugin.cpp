#include "IAudioPlugin.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <stdio.h>
#include <cstring>
#include <ctime>
#include <new>

#include "Assert.h"
#include "FixedText.h"
#include "Trace.h"

namespace mg {

namespace {

void LocalTimeStamp(char* out, std::size_t capacity)
{
    const std::time_t now = std::time(nullptr);
    std::tm local{};
#if defined(_WIN32)
    localtime_s(&local, &now);
#else
    localtime_r(&now, &local);
#endif
    char zone[64] = {};
    std::strftime(zone, sizeof zone, "%Z", &local);
    char caps[64] = {};
    std::size_t n = 0;
    for (const char* z = zone; *z && n + 1 < sizeof caps; ++z)
        if (*z >= 'A' && *z <= 'Z') caps[n++] = *z;
    char stamp[64] = {};
    std::strftime(stamp, sizeof stamp, "%Y%m%d %H:%M ", &local);
    std::snprintf(out, capacity, "%s%s", stamp, caps);
}

} // namespace

IAudioPlugin::IAudioPlugin(int parameterCount, const char* channelIOStr, int presetCount,
                           const PluginIdentity& identity, const PluginOptions& options)
    : uniqueId_(identity.uniqueId), makerId_(identity.makerId), version_(identity.version),
      doesMidi_(options.doesMidi), stateChunks_(options.stateChunks), isInstrument_(options.isInstrument),
      latency_(options.latency)
{
    char stamp[64];
    LocalTimeStamp(stamp, sizeof stamp);
    TraceSink("IAudioPlugin::IAudioPlugin", __LINE__, "%s:%s", identity.effectName ? identity.effectName : "",
              stamp);

    for (int i = 0; i < parameterCount; ++i) parameters_.push_back(std::make_unique<IParameter>());
    for (int i = 0; i < presetCount; ++i) {
        auto preset = std::make_unique<IPresetRecord>();
        std::snprintf(preset->name, sizeof preset->name, "- %d -", i + 1);
        presets_.push_back(std::move(preset));
    }
    CopyBounded(effectName_, identity.effectName);
    CopyBounded(productName_, identity.productName);
    CopyBounded(windowTitle_, identity.windowTitle);
    CopyBounded(makerName_, identity.makerName);

    ParseChannelString(channelIOStr);

    int inputs = 0;
    int outputs = 0;
    for (const ChannelPair& pair : channelPairs_) {
        if (pair.inputs > inputs) inputs = pair.inputs;
        if (pair.outputs > outputs) outputs = pair.outputs;
    }
    // The pointer arrays are sized once; the channel records point into them.
    inputPointers_.assign(static_cast<std::size_t>(inputs), nullptr);
    outputPointers_.assign(static_cast<std::size_t>(outputs), nullptr);
    inputChannels_.resize(static_cast<std::size_t>(inputs));
    outputChannels_.resize(static_cast<std::size_t>(outputs));
    for (std::size_t i = 0; i < inputChannels_.size(); ++i) inputChannels_[i].slot = &inputPointers_[i];
    for (std::size_t i = 0; i < outputChannels_.size(); ++i) outputChannels_[i].slot = &outputPointers_[i];
}

void IAudioPlugin::ParseChannelString(const char* channelIOStr)
{
    // Pairs such as "1-1 2-2", one space apart; the text is a constant of the
    // effect, so a pair that does not read is a programming error.
    while (channelIOStr) {
        int nIn = 0;
        int nOut = 0;
        MG_ASSERT(sscanf(channelIOStr, "%d-%d", &nIn, &nOut) == 2);
        channelPairs_.push_back(ChannelPair{nIn, nOut});
        channelIOStr = std::strchr(channelIOStr, ' ');
        if (channelIOStr) ++channelIOStr;
    }
}

IAudioPlugin::~IAudioPlugin()
{
    graphics_.reset();
    parameters_.clear();
    presets_.clear();
    inputChannels_.clear();
    outputChannels_.clear();
    channelPairs_.clear();
}

// ---- hooks -------------------------------------------------------------------

void IAudioPlugin::OnReset() { LockGuard guard(lock_); }

void IAudioPlugin::OnParameterChange(int) { LockGuard guard(lock_); }

void IAudioPlugin::OnActivate(bool) { LockGuard guard(lock_); }

void IAudioPlugin::ProcessBlock(double** inputs, double** outputs, int frames)
{
    if (frames <= 0 || !outputs) return;
    const int nIn = InputChannelCount();
    const int nOut = OutputChannelCount();
    const std::size_t bytes = static_cast<std::size_t>(frames) * sizeof(double);
    for (int i = 0; i < nOut; ++i) {
        double* out = outputs[i];
        if (!out) continue;
        const double* in = (inputs && i < nIn) ? inputs[i] : nullptr;
        if (in) {
            if (in != out) std::memmove(out, in, bytes);
        } else {
            std::memset(out, 0, bytes);
        }
    }
}

void IAudioPlugin::OnMidiMessage(const MidiMessage& message) { SendMidiMessage(message); }

bool IAudioPlugin::MidiNoteName(int, char* out, std::size_t capacity)
{
    CopyBounded(out, capacity, "");
    return false;
}

bool IAudioPlugin::SerializeState(IByteChunk& chunk) { return SerializeParams(chunk); }

int IAudioPlugin::UnserializeState(const IByteChunk& chunk, int start)
{
    return UnserializeParams(chunk, start);
}

// ---- parameters --------------------------------------------------------------

IParameter* IAudioPlugin::ParameterAt(int index)
{
    if (index < 0 || index >= ParameterCount()) return nullptr;
    return parameters_[static_cast<std::size_t>(index)].get();
}

const IParameter* IAudioPlugin::ParameterAt(int index) const
{
    if (index < 0 || index >= ParameterCount()) return nullptr;
    return parameters_[static_cast<std::size_t>(index)].get();
}

bool IAudioPlugin::LegalIO(int inputs, int outputs) const
{
    bool legal = false;
    for (const ChannelPair& pair : channelPairs_) {
        if ((inputs < 0 || inputs == pair.inputs) && (outputs < 0 || outputs == pair.outputs)) {
            legal = true;
            break;
        }
    }
    TraceSink("IAudioPlugin::LegalIO", __LINE__, "%d:%d:%s", inputs, outputs, legal ? "legal" : "illegal");
    return legal;
}

void IAudioPlugin::SetParameterFromGUI(int index, double normalized)
{
    TraceSink("IAudioPlugin::SetParameterFromGUI", __LINE__, "%d:%f", index, normalized);
    LockGuard guard(lock_);
    IParameter* parameter = ParameterAt(index);
    if (!parameter) return;
    parameter->SetFromNormalized(normalized);
    InformHostOfChange(index, normalized);
    OnParameterChange(index);
}

void IAudioPlugin::SetParameterFromHost(int index, double normalized)
{
    // A value that is no number would poison the parameter; one outside 0..1
    // would put it outside its range.
    if (!std::isfinite(normalized)) return;
    normalized = std::clamp(normalized, 0.0, 1.0);
    LockGuard guard(lock_);
    IParameter* parameter = ParameterAt(index);
    if (!parameter) return;
    if (graphics_) graphics_->SetControlsFromParameter(index, normalized, true);
    parameter->SetFromNormalized(normalized);
    OnParameterChange(index);
}

void IAudioPlugin::PushValuesToEditor()
{
    if (!graphics_) return;
    for (int i = 0; i < ParameterCount(); ++i)
        graphics_->SetControlsFromParameter(i, parameters_[static_cast<std::size_t>(i)]->value(), false);
}

void IAudioPlugin::ChangeAllParameters()
{
    for (int i = 0; i < ParameterCount(); ++i) OnParameterChange(i);
}

void IAudioPlugin::HostTimeSignature(int* numerator, int* denominator)
{
    if (numerator) *numerator = 4;
    if (denominator) *denominator = 4;
}

void IAudioPlugin::AttachEditorGraphics(IEditorLink* graphics)
{
    if (!graphics) return;
    LockGuard guard(lock_);
    for (int i = 0; i < ParameterCount(); ++i)
        graphics->SetControlsFromParameter(i, parameters_[static_cast<std::size_t>(i)]->Normalized(), true);
    graphics->CreateDrawSurface();
    graphics_.reset(graphics);
}

int IAudioPlugin::EffectVersion(bool decimal) const
{
    if (!decimal) return version_;
    const int major = (version_ >> 16) & 0xFFFF;
    const int minor = (version_ >> 8) & 0xFF;
    const int patch = version_ & 0xFF;
    return major * 10000 + minor * 100 + patch;
}

// ---- channels and buffers ----------------------------------------------------

void IAudioPlugin::SetBlockLength(int frames)
{
    if (frames < 0) frames = 0;
    if (frames == blockLength_) return;
    try {
        for (InputChannel& ch : inputChannels_) ch.scratch.assign(static_cast<std::size_t>(frames), 0.0);
        for (OutputChannel& ch : outputChannels_) ch.scratch.assign(static_cast<std::size_t>(frames), 0.0);
    } catch (...) {
        // A block length we cannot hold leaves no scratch at all rather than
        // buffers of mixed sizes; the binding renders in slices that fit.
        for (InputChannel& ch : inputChannels_) std::vector<double>().swap(ch.scratch);
        for (OutputChannel& ch : outputChannels_) std::vector<double>().swap(ch.scratch);
        frames = 0;
    }
    for (InputChannel& ch : inputChannels_)
        if (!ch.connected) *ch.slot = ch.ScratchOrNull();
    for (OutputChannel& ch : outputChannels_)
        if (!ch.connected) *ch.slot = ch.ScratchOrNull();
    blockLength_ = frames;
}

void IAudioPlugin::ConnectInputChannels(int first, int count, bool connected)
{
    if (first < 0) first = 0;
    for (int i = first; i < first + count && i < InputChannelCount(); ++i) {
        InputChannel& ch = inputChannels_[static_cast<std::size_t>(i)];
        ch.connected = connected;
        if (!connected) {
            // A channel the host no longer feeds is silent; its scratch may
            // still hold the last block converted into it.
            std::fill(ch.scratch.begin(), ch.scratch.end(), 0.0);
            *ch.slot = ch.ScratchOrNull();
        }
    }
}

void IAudioPlugin::ConnectOutputChannels(int first, int count, bool connected)
{
    if (first < 0) first = 0;
    for (int i = first; i < first + count && i < OutputChannelCount(); ++i) {
        OutputChannel& ch = outputChannels_[static_cast<std::size_t>(i)];
        ch.connected = connected;
        if (!connected) *ch.slot = ch.ScratchOrNull();
    }
}

void IAudioPlugin::BindInputBuffers(int first, int count, float** host, int frames)
{
    int k = 0;
    for (int i = first; i < first + count && i < InputChannelCount(); ++i) {
        InputChannel& ch = inputChannels_[static_cast<std::size_t>(i)];
        if (!ch.connected) continue;
        const float* src = host ? host[k] : nullptr;
        double* dst = ch.ScratchOrNull();
        if (src && dst)
            for (int f = 0; f < frames; ++f) dst[f] = static_cast<double>(src[f]);
        *ch.slot = dst;
        ++k;
    }
}

void IAudioPlugin::BindInputBuffers(int first, int count, double** host)
{
    int k = 0;
    for (int i = first; i < first + count && i < InputChannelCount(); ++i) {
        InputChannel& ch = inputChannels_[static_cast<std::size_t>(i)];
        if (!ch.connected) continue;
        *ch.slot = host ? host[k] : nullptr;
        ++k;
    }
}

void IAudioPlugin::BindOutputBuffers(int first, int count, float** host)
{
    int k = 0;
    for (int i = first; i < first + count && i < OutputChannelCount(); ++i) {
        OutputChannel& ch = outputChannels_[static_cast<std::size_t>(i)];
        if (!ch.connected) continue;
        *ch.slot = ch.ScratchOrNull();
        ch.hostFloatDestination = host ? host[k] : nullptr;
        ++k;
    }
}

void IAudioPlugin::BindOutputBuffers(int first, int count, double** host)
{
    int k = 0;
    for (int i = first; i < first + count && i < OutputChannelCount(); ++i) {
        OutputChannel& ch = outputChannels_[static_cast<std::size_t>(i)];
        if (!ch.connected) continue;
        *ch.slot = host ? host[k] : nullptr;
        ++k;
    }
}

void IAudioPlugin::RenderBlock(int frames)
{
    ProcessBlock(InputPointers(), OutputPointers(), frames);
}

void IAudioPlugin::RenderBlockFloat(int frames)
{
    ProcessBlock(InputPointers(), OutputPointers(), frames);
    for (OutputChannel& ch : outputChannels_) {
        const double* src = *ch.slot;
        float* dst = ch.hostFloatDestination;
        if (!ch.connected || !src || !dst) continue;
        for (int f = 0; f < frames; ++f) dst[f] = static_cast<float>(src[f]);
    }
}

void IAudioPlugin::RenderBlockAccumulating(int frames)
{
    ProcessBlock(InputPointers(), OutputPointers(), frames);
    for (OutputChannel& ch : outputChannels_) {
        const double* src = *ch.slot;
        float* dst = ch.hostFloatDestination;
        if (!ch.connected || !src || !dst) continue;
        for (int f = 0; f < frames; ++f) dst[f] = dst[f] + static_cast<float>(src[f]);
    }
}

} // namespace mg
