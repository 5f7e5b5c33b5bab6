// The host's requests other than audio and parameter values.
#include <climits>
#include <cmath>
#include <cstdio>
#include <cstring>

#include "core/FixedText.h"
#include "core/Trace.h"
#include "vst/IVstPlugin.h"

namespace mg {

namespace {

constexpr vst::intptr kVendorSpecificAnswer = 0xBEEF;
constexpr vst::intptr kIdentifyAnswer = 0x4E764566; // 'NvEf'

int ToIndex(vst::intptr value)
{
    return (value < INT_MIN || value > INT_MAX) ? -1 : static_cast<int>(value);
}

} // namespace

vst::intptr VST_CALL IVstPlugin::VSTDispatcher(vst::AEffect* effect, vst::int32 opcode, vst::int32 index,
                                               vst::intptr value, void* ptr, float opt)
{
    if (!effect || !effect->object) return 0;
    auto* plugin = static_cast<IVstPlugin*>(effect->object);
    if (opcode == vst::effEditIdle) {
        // Where the host's idle calls drive the editor window, its input and
        // its redraw ticks run here, without the plug-in lock, like a timer's.
        if (IEditorLink* editor = plugin->Editor()) editor->Idle();
        return 0;
    }
    if (opcode == vst::effIdle) return 0;
    if (opcode == vst::effClose) {
        // The lock lives inside the object being destroyed: take it to wait
        // for a block in progress, give it up, then go.
        plugin->Lock().lock();
        plugin->Lock().unlock();
        delete plugin;
        return 0;
    }
    LockGuard guard(plugin->Lock());
    TraceSink("IVstPlugin::VSTDispatcher", __LINE__, "%d(%s):%d:%d", opcode, "", index, value);
    try {
        return plugin->Dispatch(opcode, index, value, ptr, opt);
    } catch (...) {
        return 0; // nothing may unwind into the host
    }
}

vst::intptr IVstPlugin::Dispatch(vst::int32 opcode, vst::int32 index, vst::intptr value, void* ptr,
                                 float opt)
{
    IParameter* parameter = ParameterAt(index);
    char* text = static_cast<char*>(ptr);
    switch (opcode) {
    case vst::effOpen:
        AdaptToHost();
        ChangeAllParameters();
        return 0;
    case vst::effSetProgram:
        // Until a preset has been loaded, the current values are the defaults,
        // not the current slot's: storing them would overwrite a factory preset.
        if (!StateChunks() && PresetEverSelected()) StoreCurrentInPreset(nullptr);
        SelectPreset(ToIndex(value));
        return 0;
    case vst::effGetProgram:
        return CurrentPreset();
    case vst::effSetProgramName:
        if (text) {
            char name[kPresetNameSize];
            CopyBounded(name, text);
            StoreCurrentInPreset(name);
        }
        return 0;
    case vst::effGetProgramName:
        if (text) CopyBounded(text, vst::kVstMaxProgNameLen, PresetName(CurrentPreset()));
        return 0;
    case vst::effGetParamLabel:
        if (text && parameter) CopyBounded(text, vst::kVstMaxParamStrLen, parameter->label());
        return 0;
    case vst::effGetParamDisplay:
        if (text && parameter) parameter->FormatForHost(parameter->value(), false, text, vst::kVstMaxParamStrLen);
        return 0;
    case vst::effGetParamName:
        if (text && parameter) CopyBounded(text, vst::kVstMaxParamStrLen, parameter->name());
        return 0;
    case vst::effSetSampleRate:
        // A rate that is no positive number would poison every filter design.
        if (!(std::isfinite(opt) && opt > 0.0f)) return 0;
        StoreSampleRate(static_cast<double>(opt));
        OnReset();
        return 0;
    case vst::effSetBlockSize:
        SetBlockLength(value < 0 ? 0 : value > kMaxBlockLength ? kMaxBlockLength : static_cast<int>(value));
        OnReset();
        return 0;
    case vst::effMainsChanged:
        if (value != 0) {
            OnActivate(true);
        } else {
            OnActivate(false);
            OnReset();
        }
        return 0;
    case vst::effEditGetRect:
        if (!ptr || !Editor()) return 0;
        *static_cast<vst::ERect**>(ptr) = &editorRect_;
        return 1;
    case vst::effEditOpen:
        if (!Editor() || !Editor()->OpenInParent(ptr)) return 0;
        OnEditorOpened();
        return 1;
    case vst::effEditClose:
        if (!Editor()) return 0;
        OnEditorClosed();
        Editor()->CloseWindow();
        return 1;
    case vst::effIdentify:
        return kIdentifyAnswer;
    case vst::effGetChunk:
        return GetChunk(index, ptr);
    case vst::effSetChunk:
        return SetChunk(index, value, ptr);
    case vst::effProcessEvents:
        return ProcessEvents(static_cast<const vst::VstEvents*>(ptr));
    case vst::effCanBeAutomated:
        return 1;
    case vst::effGetProgramNameIndexed:
        if (!text) return 0;
        CopyBounded(text, vst::kVstMaxProgNameLen, PresetName(index));
        return text[0] != '\0' ? 1 : 0;
    case vst::effGetInputProperties:
    case vst::effGetOutputProperties:
        return PinProperties(opcode == vst::effGetInputProperties, index,
                             static_cast<vst::VstPinProperties*>(ptr));
    case vst::effGetPlugCategory:
        return vst::kPlugCategEffect;
    case vst::effSetSpeakerArrangement:
        return SetSpeakerArrangement(reinterpret_cast<vst::VstSpeakerArrangement*>(value),
                                     static_cast<vst::VstSpeakerArrangement*>(ptr));
    case vst::effGetEffectName:
        if (!text) return 0;
        CopyBounded(text, vst::kVstMaxEffectNameLen, EffectName());
        return 1;
    case vst::effGetVendorString:
        if (!text) return 0;
        CopyBounded(text, vst::kVstMaxVendorStrLen, MakerName());
        return 1;
    case vst::effGetProductString:
        if (!text) return 0;
        CopyBounded(text, vst::kVstMaxProductStrLen, ProductName());
        return 1;
    case vst::effVendorSpecific:
        if (index != 7 || !text) return 0;
        if (const IParameter* shown = ParameterAt(ToIndex(value)))
            shown->FormatForHost(static_cast<double>(opt), true, text, vst::kVstMaxParamStrLen);
        return kVendorSpecificAnswer;
    case vst::effCanDo:
        return CanDo(text);
    case vst::effGetVstVersion:
        return vst::kVstVersion;
    case vst::effGetMidiKeyName: {
        auto* key = static_cast<vst::MidiKeyName*>(ptr);
        if (!key) return 0;
        key->keyName[0] = '\0';
        return MidiNoteName(key->thisKeyNumber, key->keyName, sizeof key->keyName) ? 1 : 0;
    }
    case vst::effGetSpeakerArrangement:
        if (value) *reinterpret_cast<vst::VstSpeakerArrangement**>(value) = &inputArrangement_;
        if (ptr) *static_cast<vst::VstSpeakerArrangement**>(ptr) = &outputArrangement_;
        return 1;
    default:
        return 0;
    }
}

vst::intptr IVstPlugin::GetChunk(vst::int32 index, void* ptr)
{
    if (!ptr) return 0;
    const bool bank = index == 0;
    IByteChunk& chunk = bank ? bankChunk_ : programChunk_;
    WriteChunkHeader(chunk);
    if (bank && PresetEverSelected()) StoreCurrentInPreset(nullptr);
    if (!SerializeState(chunk) || chunk.Size() == 0) return 0;
    *static_cast<void**>(ptr) = chunk.Data();
    return chunk.Size();
}

vst::intptr IVstPlugin::SetChunk(vst::int32 index, vst::intptr size, const void* data)
{
    if (!data || size < 0 || size > INT_MAX) return 0;
    const bool bank = index == 0;
    IByteChunk& chunk = bank ? bankChunk_ : programChunk_;
    if (!chunk.Resize(static_cast<int>(size))) return 0;
    if (size > 0) std::memcpy(chunk.Data(), data, static_cast<std::size_t>(size));
    int pos = 0;
    const std::uint32_t version = ReadChunkHeader(chunk, pos);
    pos = UnserializeState(chunk, pos);
    if (!bank || version < kChunkVersion) StoreCurrentInPreset(nullptr);
    if (pos < 0) return 0;
    PushValuesToEditor();
    return 1;
}

vst::intptr IVstPlugin::ProcessEvents(const vst::VstEvents* events)
{
    if (!events) return 0;
    // The list runs on past the two entries the structure declares: the host
    // allocates it for numEvents. Walk it through a pointer, not the array.
    vst::VstEvent* const* list = events->events;
    for (vst::int32 i = 0; i < events->numEvents; ++i) {
        vst::VstEvent* event = list[i];
        if (!event) continue;
        if (event->type == vst::kVstMidiType) {
            const auto* midi = reinterpret_cast<const vst::VstMidiEvent*>(event);
            MidiMessage message;
            message.offset = midi->deltaFrames;
            message.status = static_cast<std::uint8_t>(midi->midiData[0]);
            message.data1 = static_cast<std::uint8_t>(midi->midiData[1]);
            message.data2 = static_cast<std::uint8_t>(midi->midiData[2]);
            OnMidiMessage(message);
        } else {
            ForwardEventToHost(event);
        }
    }
    return 1;
}

vst::intptr IVstPlugin::PinProperties(bool input, vst::int32 index, vst::VstPinProperties* pin)
{
    const int count = input ? InputChannelCount() : OutputChannelCount();
    if (!pin || index < 0 || index >= count) return 0;
    pin->flags = (index % 2 == 0) ? (vst::kVstPinIsActive | vst::kVstPinIsStereo) : vst::kVstPinIsActive;
    std::snprintf(pin->label, sizeof pin->label, input ? "Input %d" : "Output %d", index + 1);
    return 1;
}

vst::intptr IVstPlugin::SetSpeakerArrangement(vst::VstSpeakerArrangement* in,
                                              vst::VstSpeakerArrangement* out)
{
    auto connect = [](int count, int wanted, auto&& apply) {
        const int n = wanted < 0 ? 0 : wanted > count ? count : wanted;
        apply(0, n, true);
        apply(n, count - n, false);
    };
    if (in)
        connect(InputChannelCount(), in->numChannels,
                [this](int first, int n, bool on) { ConnectInputChannels(first, n, on); });
    if (out)
        connect(OutputChannelCount(), out->numChannels,
                [this](int first, int n, bool on) { ConnectOutputChannels(first, n, on); });
    return 1;
}

vst::intptr IVstPlugin::CanDo(const char* text)
{
    if (!text) return 0;
    TraceSink("IVstPlugin::VSTDispatcher", __LINE__, "VSTCanDo(%s)", text);
    if (std::strcmp(text, "receiveVstTimeInfo") == 0) return 1;
    if (doesMidi_) {
        for (const char* midi : {"sendVstEvents", "sendVstMidiEvent", "receiveVstEvents", "receiveVstMidiEvent"})
            if (std::strcmp(text, midi) == 0) return 1;
    }
    return 0;
}

} // namespace mg
