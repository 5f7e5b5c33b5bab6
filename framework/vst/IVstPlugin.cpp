#include "vst/IVstPlugin.h"

#include <climits>
#include <cmath>
#include <cstring>

#include "core/FixedText.h"
#include "core/HostKind.h"
#include "core/Trace.h"

namespace mg {

IVstPlugin::IVstPlugin(Host host, int parameterCount, const char* channelIOStr, int presetCount,
                       const PluginIdentity& identity, const PluginOptions& options)
    : IAudioPlugin(parameterCount, channelIOStr, presetCount, identity, options), host_(host),
      doesMidi_(options.doesMidi)
{
    TraceSink("IVstPlugin::IVstPlugin", __LINE__, "%s", EffectName());

    std::memset(&effect_, 0, sizeof effect_);
    effect_.magic = vst::kEffectMagic;
    effect_.dispatcher = &IVstPlugin::VSTDispatcher;
    effect_.process = &IVstPlugin::VSTProcess;
    effect_.setParameter = &IVstPlugin::VSTSetParameter;
    effect_.getParameter = &IVstPlugin::VSTGetParameter;
    effect_.numPrograms = presetCount;
    effect_.numParams = parameterCount;
    effect_.numInputs = InputChannelCount();
    effect_.numOutputs = OutputChannelCount();
    effect_.initialDelay = options.latency;
    effect_.ioRatio = 1.0f;
    effect_.object = this;
    effect_.uniqueID = identity.uniqueId;
    effect_.version = EffectVersion(true);
    effect_.processReplacing = &IVstPlugin::VSTProcessReplacing;
    effect_.processDoubleReplacing = &IVstPlugin::VSTProcessDoubleReplacing;

    vst::int32 flags = options.stateChunks ? (vst::effFlagsCanReplacing | vst::effFlagsCanDoubleReplacing |
                                      vst::effFlagsProgramChunks)
                                   : (vst::effFlagsCanReplacing | vst::effFlagsCanDoubleReplacing);
    if (LegalIO(1, -1)) flags |= vst::effFlagsCanMono;
    if (options.isInstrument) flags |= vst::effFlagsIsSynth;
    effect_.flags = flags;

    inputArrangement_.numChannels = InputChannelCount();
    outputArrangement_.numChannels = OutputChannelCount();

    ConnectInputChannels(0, InputChannelCount(), true);
    ConnectOutputChannels(0, OutputChannelCount(), true);
    floatSliceInputs_.assign(static_cast<std::size_t>(InputChannelCount()), nullptr);
    floatSliceOutputs_.assign(static_cast<std::size_t>(OutputChannelCount()), nullptr);
    doubleSliceInputs_.assign(static_cast<std::size_t>(InputChannelCount()), nullptr);
    doubleSliceOutputs_.assign(static_cast<std::size_t>(OutputChannelCount()), nullptr);
    SetBlockLength(1024);
}

IVstPlugin::~IVstPlugin()
{
    programChunk_.Clear();
    bankChunk_.Clear();
}

vst::intptr IVstPlugin::CallHost(vst::int32 opcode, vst::int32 index, vst::intptr value, void* ptr,
                                 float opt)
{
    return host_ ? host_(&effect_, opcode, index, value, ptr, opt) : 0;
}

// ---- edit gestures and automation ---------------------------------------------

void IVstPlugin::BeginHostEdit(int index) { CallHost(vst::audioMasterBeginEdit, index); }

void IVstPlugin::InformHostOfChange(int index, double normalized)
{
    CallHost(vst::audioMasterAutomate, index, 0, nullptr, static_cast<float>(normalized));
}

void IVstPlugin::EndHostEdit(int index) { CallHost(vst::audioMasterEndEdit, index); }

// ---- time information -----------------------------------------------------------

const vst::VstTimeInfo* IVstPlugin::HostTimeInfo(vst::int32 filter)
{
    return reinterpret_cast<const vst::VstTimeInfo*>(CallHost(vst::audioMasterGetTime, 0, filter));
}

std::int32_t IVstPlugin::HostSamplePosition()
{
    const vst::VstTimeInfo* info = HostTimeInfo(0);
    if (!info || !(info->samplePos >= 0.0)) return 0;
    if (info->samplePos >= static_cast<double>(INT32_MAX)) return INT32_MAX;
    return static_cast<std::int32_t>(info->samplePos);
}

double IVstPlugin::HostTempo()
{
    if (!host_) return 0.0;
    const vst::VstTimeInfo* info = HostTimeInfo(vst::kVstTempoValid);
    if (info && (info->flags & vst::kVstTempoValid) && info->tempo >= 0.0) return info->tempo;
    return 0.0;
}

void IVstPlugin::HostTimeSignature(int* numerator, int* denominator)
{
    if (numerator) *numerator = 0;
    if (denominator) *denominator = 0;
    const vst::VstTimeInfo* info = HostTimeInfo(vst::kVstTimeSigValid);
    if (info && (info->flags & vst::kVstTimeSigValid) && info->timeSigNumerator >= 0 &&
        info->timeSigDenominator >= 0) {
        if (numerator) *numerator = info->timeSigNumerator;
        if (denominator) *denominator = info->timeSigDenominator;
    }
}

// ---- host identification ---------------------------------------------------------

int IVstPlugin::HostId()
{
    if (StoredHostId() != -1) return StoredHostId();
    char product[256] = {};
    CallHost(vst::audioMasterGetProductString, 0, 0, product);
    product[sizeof product - 1] = '\0'; // a host may leave no terminator in the buffer
    std::int32_t packed = 0;
    if (product[0] != '\0') {
        const auto d = static_cast<std::int64_t>(CallHost(vst::audioMasterGetVendorVersion));
        const std::int64_t major = d / 10000;
        const std::int64_t minor = (d % 10000) / 100;
        const std::int64_t patch = d % 100;
        packed = static_cast<std::int32_t>(major * 65536 + minor * 256 + patch);
    }
    SetHost(product, packed);
    return StoredHostId();
}

void IVstPlugin::AdaptToHost()
{
    if (hostInitDone_) return;
    hostInitDone_ = true;
    const auto host = static_cast<HostKind>(HostId());
    if (host == HostKind::Forte || host == HostKind::Audition || host == HostKind::Orion ||
        host == HostKind::SawStudio) {
        // These hosts connect only the first stereo pair of inputs and every output.
        if (InputChannelCount() > 2) ConnectInputChannels(2, InputChannelCount() - 2, false);
        if (OutputChannelCount() > 2) ConnectOutputChannels(2, OutputChannelCount() - 2, true);
    }
    effect_.numInputs = InputChannelCount();
    effect_.numOutputs = OutputChannelCount();
    inputArrangement_.numChannels = InputChannelCount();
    outputArrangement_.numChannels = OutputChannelCount();
}

// ---- editor -------------------------------------------------------------------------

void IVstPlugin::AttachEditorGraphics(IEditorLink* graphics)
{
    if (!graphics) return;
    IAudioPlugin::AttachEditorGraphics(graphics);
    effect_.flags |= vst::effFlagsHasEditor;
    RefreshEditorRect();
}

void IVstPlugin::EditorSizeChanged(int, int) { RefreshEditorRect(); }

void IVstPlugin::RefreshEditorRect()
{
    const IEditorLink* editor = Editor();
    if (!editor) return;
    editorRect_.top = 0;
    editorRect_.left = 0;
    editorRect_.right = static_cast<std::int16_t>(editor->EditorWidth());
    editorRect_.bottom = static_cast<std::int16_t>(editor->EditorHeight());
}

void IVstPlugin::SetLatencySamples(int samples)
{
    effect_.initialDelay = samples;
    IAudioPlugin::SetLatencySamples(samples);
}

// ---- MIDI out -------------------------------------------------------------------------

bool IVstPlugin::ForwardEventToHost(vst::VstEvent* event)
{
    vst::VstEvents events{};
    events.numEvents = 1;
    events.reserved = 0;
    events.events[0] = event;
    events.events[1] = nullptr;
    return CallHost(vst::audioMasterProcessEvents, 0, 0, &events) == 1;
}

bool IVstPlugin::SendMidiMessage(const MidiMessage& message)
{
    vst::VstMidiEvent midi{};
    midi.type = vst::kVstMidiType;
    midi.byteSize = sizeof(vst::VstMidiEvent);
    midi.deltaFrames = message.offset;
    midi.midiData[0] = static_cast<char>(message.status);
    midi.midiData[1] = static_cast<char>(message.data1);
    midi.midiData[2] = static_cast<char>(message.data2);
    return ForwardEventToHost(reinterpret_cast<vst::VstEvent*>(&midi));
}

bool IVstPlugin::SendMidiMessages(std::span<const MidiMessage> messages)
{
    bool all = true;
    for (const MidiMessage& message : messages) all = SendMidiMessage(message) && all;
    return all;
}

} // namespace mg
