#pragma once
// Binds the plug-in base to the VST 2.4 interface: the descriptor handed to
// the host, the dispatcher, the audio and parameter callbacks, and every
// request the plug-in makes of the host.
#include <vector>

#include "core/IAudioPlugin.h"
#include "vst/VstAbi.h"

namespace mg {

class IVstPlugin : public IAudioPlugin {
public:
    // The most frames the scratch buffers are sized for, whatever block size
    // the host announces: longer blocks are rendered in slices of this many,
    // so an absurd announcement cannot make us take gigabytes.
    static constexpr int kMaxBlockLength = 1 << 17;

    // What the library's entry point hands an effect's constructor.
    using Host = vst::HostCallback;

    IVstPlugin(Host host, int parameterCount, const char* channelIOStr, int presetCount,
               const PluginIdentity& identity, const PluginOptions& options = {});
    ~IVstPlugin() override;

    vst::AEffect* Effect() { return &effect_; }
    const vst::ERect& EditorRect() const { return editorRect_; }

    // ---- host operations -----------------------------------------------
    void BeginHostEdit(int index) override;
    void InformHostOfChange(int index, double normalized) override;
    void EndHostEdit(int index) override;
    std::int32_t HostSamplePosition() override;
    double HostTempo() override;
    void HostTimeSignature(int* numerator, int* denominator) override;
    int HostId() override;
    void EditorSizeChanged(int width, int height) override;
    bool ResizeHostWindow(int width, int height) override;
    void AdaptToHost() override;
    void AttachEditorGraphics(IEditorLink* graphics) override;
    void SetLatencySamples(int samples) override;
    bool SendMidiMessage(const MidiMessage& message) override;
    bool SendMidiMessages(std::span<const MidiMessage> messages) override;
    bool ForwardEventToHost(vst::VstEvent* event);

private:
    static vst::intptr VST_CALL VSTDispatcher(vst::AEffect* effect, vst::int32 opcode, vst::int32 index,
                                              vst::intptr value, void* ptr, float opt);
    static void VST_CALL VSTProcess(vst::AEffect* effect, float** inputs, float** outputs, vst::int32 frames);
    static void VST_CALL VSTProcessReplacing(vst::AEffect* effect, float** inputs, float** outputs,
                                             vst::int32 frames);
    static void VST_CALL VSTProcessDoubleReplacing(vst::AEffect* effect, double** inputs, double** outputs,
                                                   vst::int32 frames);
    static void VST_CALL VSTSetParameter(vst::AEffect* effect, vst::int32 index, float value);
    static float VST_CALL VSTGetParameter(vst::AEffect* effect, vst::int32 index);

    enum class Callback { Accumulating, Replacing, Double };
    template <class Sample>
    void ProcessCallback(Sample** inputs, Sample** outputs, int frames, Callback kind);

    vst::intptr Dispatch(vst::int32 opcode, vst::int32 index, vst::intptr value, void* ptr, float opt);
    vst::intptr GetChunk(vst::int32 index, void* ptr);
    vst::intptr SetChunk(vst::int32 index, vst::intptr size, const void* data);
    vst::intptr ProcessEvents(const vst::VstEvents* events);
    vst::intptr PinProperties(bool input, vst::int32 index, vst::VstPinProperties* pin);
    vst::intptr SetSpeakerArrangement(vst::VstSpeakerArrangement* in, vst::VstSpeakerArrangement* out);
    vst::intptr CanDo(const char* text);
    vst::intptr CallHost(vst::int32 opcode, vst::int32 index = 0, vst::intptr value = 0,
                         void* ptr = nullptr, float opt = 0.0f);
    const vst::VstTimeInfo* HostTimeInfo(vst::int32 filter);
    void RefreshEditorRect();

    vst::HostCallback host_;
    vst::AEffect effect_{};
    vst::ERect editorRect_{};
    vst::VstSpeakerArrangement inputArrangement_{};
    vst::VstSpeakerArrangement outputArrangement_{};
    bool hostInitDone_ = false;
    bool doesMidi_;
    IByteChunk programChunk_;
    IByteChunk bankChunk_;
    // Host buffer pointers moved along a block that is rendered in slices.
    template <class Sample>
    void RenderSlice(Sample** inputs, Sample** outputs, int frames, Callback kind);
    template <class Sample>
    std::vector<Sample*>& SliceInputs();
    template <class Sample>
    std::vector<Sample*>& SliceOutputs();
    std::vector<float*> floatSliceInputs_;
    std::vector<float*> floatSliceOutputs_;
    std::vector<double*> doubleSliceInputs_;
    std::vector<double*> doubleSliceOutputs_;
};

} // namespace mg
