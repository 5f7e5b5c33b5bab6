#pragma once
// The host-independent plug-in base: identity, channel configurations,
// parameters, presets and state, audio settings, the editor and the lock.
// A host binding derives from it and supplies the host-facing operations.
#include <cstdint>
#include <initializer_list>
#include <memory>
#include <span>
#include <vector>

#include "Channels.h"
#include "IByteChunk.h"
#include "IEditorLink.h"
#include "IParameter.h"
#include "IPresetRecord.h"
#include "MidiMessage.h"
#include "ReentrantLock.h"

namespace mg {

constexpr std::size_t kIdentityTextSize = 128; // 127 characters and the terminator

// Packs a four-character code with its first character in the top byte.
constexpr std::int32_t FourCC(const char (&s)[5])
{
    return static_cast<std::int32_t>(static_cast<std::uint32_t>(static_cast<unsigned char>(s[0])) << 24 |
                                     static_cast<std::uint32_t>(static_cast<unsigned char>(s[1])) << 16 |
                                     static_cast<std::uint32_t>(static_cast<unsigned char>(s[2])) << 8 |
                                     static_cast<std::uint32_t>(static_cast<unsigned char>(s[3])));
}

// Who the plug-in is, as hosts see it. Names are at most 127 characters.
struct PluginIdentity {
    const char* effectName = "";
    const char* productName = "";
    const char* makerName = "";
    // The name people read on the editor's window; the effect name when empty.
    const char* windowTitle = "";
    std::int32_t version = 0; // major << 16 | minor << 8 | patch
    std::int32_t uniqueId = 0; // FourCC
    std::int32_t makerId = 0;  // FourCC
};

// What the plug-in tells its binding beyond its identity.
struct PluginOptions {
    int latency = 0;          // samples of processing delay
    bool doesMidi = false;    // only the binding reads it
    bool stateChunks = false; // state is stored as chunks
    bool isInstrument = false;
};

class IAudioPlugin {
public:
    static constexpr std::uint32_t kChunkMagic = 0x70666674;   // bytes "tffp"
    static constexpr std::uint32_t kChunkVersion = 0x00010000;

    IAudioPlugin(int parameterCount, const char* channelIOStr, int presetCount, const PluginIdentity& identity,
                 const PluginOptions& options = {});
    virtual ~IAudioPlugin();

    IAudioPlugin(const IAudioPlugin&) = delete;
    IAudioPlugin& operator=(const IAudioPlugin&) = delete;

    // ---- hooks the effect overrides -------------------------------------
    virtual void OnReset();
    virtual void OnParameterChange(int index);
    virtual void ProcessBlock(double** inputs, double** outputs, int frames);
    virtual void OnEditorOpened() {}
    virtual void OnEditorClosed() {}
    virtual void OnEditorIdle() {}
    virtual void OnActivate(bool on);
    virtual void OnMidiMessage(const MidiMessage& message);
    virtual bool MidiNoteName(int note, char* out, std::size_t capacity);
    virtual bool SerializeState(IByteChunk& chunk);
    virtual int UnserializeState(const IByteChunk& chunk, int start);

    // ---- host operations ----------------------------------------------------
    // What the plug-in asks of its host. A binding overrides what its host
    // offers; the defaults say "this binding has no host for that": edits go
    // untold, the transport stands at 0 at 120 BPM in 4/4, no MIDI leaves.
    virtual void BeginHostEdit(int /*index*/) {}
    virtual void InformHostOfChange(int /*index*/, double /*normalized*/) {}
    virtual void EndHostEdit(int /*index*/) {}
    virtual std::int32_t HostSamplePosition() { return 0; }
    virtual double HostTempo() { return 120.0; }
    virtual void HostTimeSignature(int* numerator, int* denominator);
    virtual int HostId() { return hostId_; }
    virtual void EditorSizeChanged(int /*width*/, int /*height*/) {}
    virtual void OnHostNotice(std::int32_t /*value*/) {}
    virtual void AdaptToHost() {}
    virtual void AttachEditorGraphics(IEditorLink* graphics);
    // Whether an effect builds its editor on this binding: not where no
    // window can ever be shown (an LV2 DSP library, whose UI is a library
    // of its own).
    virtual bool BuildsEditor() const { return true; }
    virtual void SetBlockLength(int frames);
    virtual void SetLatencySamples(int samples) { latency_ = samples; }
    virtual bool SendMidiMessage(const MidiMessage& /*message*/) { return false; }
    virtual bool SendMidiMessages(std::span<const MidiMessage> /*messages*/) { return false; }

    // ---- parameters -------------------------------------------------------
    IParameter* ParameterAt(int index);
    const IParameter* ParameterAt(int index) const;
    int ParameterCount() const { return static_cast<int>(parameters_.size()); }
    bool LegalIO(int inputs, int outputs) const;
    void SetParameterFromGUI(int index, double normalized);
    // A host's change of a parameter: moves the editor's controls, stores
    // the value and runs the effect's handler; the host is not told back.
    // A value that is no number is ignored, one outside 0..1 clamped.
    void SetParameterFromHost(int index, double normalized);
    void PushValuesToEditor();
    void ChangeAllParameters();

    // ---- presets and state ------------------------------------------------
    bool SerializeParams(IByteChunk& chunk);
    int UnserializeParams(const IByteChunk& chunk, int start);
    // One value per parameter in index order; choices take the integer part.
    // Parameters beyond the given values keep their current value in the slot.
    void AddPresetFromValues(const char* name, std::initializer_list<double> values);
    void FillPresetsWithCurrent(const char* name, int count);
    void EnsureOnePreset();
    bool SelectPreset(int index);
    void StoreCurrentInPreset(const char* name);
    const char* PresetName(int index) const;
    void NextUserPresetName(char* out, std::size_t capacity) const;
    int PresetCount() const { return static_cast<int>(presets_.size()); }
    int CurrentPreset() const { return currentPreset_; }
    // True once a preset has been loaded or captured by SelectPreset.
    bool PresetEverSelected() const { return presetEverSelected_; }
    static void WriteChunkHeader(IByteChunk& chunk);
    static std::uint32_t ReadChunkHeader(const IByteChunk& chunk, int& pos);

    // ---- identity and settings -------------------------------------------
    int EffectVersion(bool decimal) const;
    const char* EffectName() const { return effectName_; }
    const char* ProductName() const { return productName_; }
    const char* MakerName() const { return makerName_; }
    const char* WindowTitle() const { return windowTitle_[0] ? windowTitle_ : effectName_; }
    std::int32_t UniqueId() const { return uniqueId_; }
    std::int32_t MakerId() const { return makerId_; }
    bool DoesMidi() const { return doesMidi_; }
    bool StateChunks() const { return stateChunks_; }
    bool IsInstrument() const { return isInstrument_; }
    int Latency() const { return latency_; }
    double SampleRate() const { return sampleRate_; }
    int BlockLength() const { return blockLength_; }
    void StoreSampleRate(double rate) { sampleRate_ = rate; }

    // ---- host identification ---------------------------------------------
    static int HostFromName(const char* name);
    void SetHost(const char* name, std::int32_t version);
    int StoredHostId() const { return hostId_; }
    std::int32_t HostVersion() const { return hostVersion_; }

    // ---- channels ---------------------------------------------------------
    int ChannelPairCount() const { return static_cast<int>(channelPairs_.size()); }
    ChannelPair ChannelPairAt(int i) const { return channelPairs_[static_cast<std::size_t>(i)]; }
    int InputChannelCount() const { return static_cast<int>(inputChannels_.size()); }
    int OutputChannelCount() const { return static_cast<int>(outputChannels_.size()); }
    void ConnectInputChannels(int first, int count, bool connected);
    void ConnectOutputChannels(int first, int count, bool connected);
    bool IsInputConnected(int i) const { return inputChannels_[static_cast<std::size_t>(i)].connected; }
    bool IsOutputConnected(int i) const { return outputChannels_[static_cast<std::size_t>(i)].connected; }

    // ---- editor -----------------------------------------------------------
    // What a binding opens, idles and closes; null without an editor.
    IEditorLink* Editor() const { return graphics_.get(); }
    // The editor's model, for the effect that built it.
    IGraphics* EditorGraphics() const { return graphics_ ? graphics_->Graphics() : nullptr; }

    ReentrantLock& Lock() { return lock_; }

protected:
    // Buffer binding and rendering for host bindings; the caller holds the lock.
    void BindInputBuffers(int first, int count, float** host, int frames);
    void BindInputBuffers(int first, int count, double** host);
    void BindOutputBuffers(int first, int count, float** host);
    void BindOutputBuffers(int first, int count, double** host);
    void RenderBlock(int frames);                 // double: outputs written in place
    void RenderBlockFloat(int frames);            // converts into the host's float buffers
    void RenderBlockAccumulating(int frames);     // adds into the host's float buffers

    double** InputPointers() { return inputPointers_.empty() ? nullptr : inputPointers_.data(); }
    double** OutputPointers() { return outputPointers_.empty() ? nullptr : outputPointers_.data(); }

private:
    void ParseChannelString(const char* channelIOStr);
    IPresetRecord* FirstFreePreset();

    // Declared first so that it is destroyed last, after everything it guards.
    ReentrantLock lock_;
    std::vector<ChannelPair> channelPairs_;
    char effectName_[kIdentityTextSize] = {};
    char productName_[kIdentityTextSize] = {};
    char makerName_[kIdentityTextSize] = {};
    char windowTitle_[kIdentityTextSize] = {};
    std::int32_t uniqueId_ = 0;
    std::int32_t makerId_ = 0;
    std::int32_t version_ = 0;
    int hostId_ = -1;
    std::int32_t hostVersion_ = 0;
    bool doesMidi_ = false;
    bool stateChunks_ = false;
    bool isInstrument_ = false;
    double sampleRate_ = 44100.0;
    int blockLength_ = 0;
    int latency_ = 0;
    std::vector<std::unique_ptr<IParameter>> parameters_;
    std::unique_ptr<IEditorLink> graphics_;
    std::vector<std::unique_ptr<IPresetRecord>> presets_;
    int currentPreset_ = 0;
    bool presetEverSelected_ = false;
    std::vector<double*> inputPointers_;
    std::vector<double*> outputPointers_;
    std::vector<InputChannel> inputChannels_;
    std::vector<OutputChannel> outputChannels_;
};

} // namespace mg
