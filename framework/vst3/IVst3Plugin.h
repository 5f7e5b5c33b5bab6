#pragma once
// Binds the plug-in base to VST 3. One object is the component, the audio
// processor and the edit controller at once, as hosts allow for an effect
// whose parts never run apart: one set of parameter values serves the sound
// and the host's view of it, so a state saved at any moment holds the
// newest values, however they arrived.
//
// Parameter ids are the parameters' indices; one more, after them, selects
// the factory programs (a list hosts show as presets).
#include <atomic>
#include <cstdint>
#include <vector>

#include "core/IAudioPlugin.h"
#include "vst3/Vst3Abi.h"
#include "vst3/Vst3Unknown.h"

namespace mg {

class Vst3View;

namespace vst3_detail {

// The component's state pair and the controller's have the same names and
// signatures but are different slots; these give each pair names of its own.
class ComponentSlots : public vst3::IComponent {
public:
    vst3::tresult MG_VST3_CALL setState(vst3::IBStream* state) final { return SetProcessorState(state); }
    vst3::tresult MG_VST3_CALL getState(vst3::IBStream* state) final { return GetProcessorState(state); }

protected:
    ~ComponentSlots() = default;
    virtual vst3::tresult SetProcessorState(vst3::IBStream* state) = 0;
    virtual vst3::tresult GetProcessorState(vst3::IBStream* state) = 0;
};

class ControllerSlots : public vst3::IEditController {
public:
    vst3::tresult MG_VST3_CALL setState(vst3::IBStream* state) final { return SetControllerState(state); }
    vst3::tresult MG_VST3_CALL getState(vst3::IBStream* state) final { return GetControllerState(state); }

protected:
    ~ControllerSlots() = default;
    virtual vst3::tresult SetControllerState(vst3::IBStream* state) = 0;
    virtual vst3::tresult GetControllerState(vst3::IBStream* state) = 0;
};

} // namespace vst3_detail

class IVst3Plugin : public IAudioPlugin,
                    public vst3_detail::ComponentSlots,
                    public vst3::IAudioProcessor,
                    public vst3_detail::ControllerSlots,
                    public vst3::IProcessContextRequirements {
public:
    // Scratch is sized for the block length the host announces, up to this;
    // longer blocks are rendered in slices.
    static constexpr int kMaxBlockLength = 1 << 17;
    // Block length until the host sets one up.
    static constexpr int kDefaultBlockLength = 1024;
    // Parameter points one process call can split its block at; the rest of
    // a long queue is merged into its last point.
    static constexpr int kMaxChangePoints = 1024;
    // The largest state accepted, far above any real one.
    static constexpr int kMaxStateBytes = 1 << 16;

    // What the module's factory hands an effect's constructor: the context
    // the host gave the factory, or null.
    using Host = vst3::FUnknown*;

    IVst3Plugin(Host host, int parameterCount, const char* channelIOStr, int presetCount,
                const PluginIdentity& identity, const PluginOptions& options = {});
    ~IVst3Plugin() override;

    // Once after construction: derived values from the parameters, filters
    // designed for the default rate.
    void Open();

    // The program selector's id, or none (kNoProgramParameter) with fewer
    // than two programs.
    static constexpr vst3::ParamID kNoProgramParameter = 0xFFFFFFFFu;
    vst3::ParamID ProgramParameterId() const;
    int Vst3ParameterCount() const;

    // ---- host operations -----------------------------------------------
    void BeginHostEdit(int index) override;
    void InformHostOfChange(int index, double normalized) override;
    void EndHostEdit(int index) override;
    std::int32_t HostSamplePosition() override;
    double HostTempo() override;
    void HostTimeSignature(int* numerator, int* denominator) override;

    // ---- FUnknown (every interface's) ------------------------------------
    vst3::tresult MG_VST3_CALL queryInterface(const vst3::TUID iid, void** obj) override;
    vst3::uint32 MG_VST3_CALL addRef() override;
    vst3::uint32 MG_VST3_CALL release() override;

    // ---- IPluginBase (through the component and the controller) ----------
    vst3::tresult MG_VST3_CALL initialize(vst3::FUnknown* context) override;
    vst3::tresult MG_VST3_CALL terminate() override;

    // ---- IComponent ------------------------------------------------------
    vst3::tresult MG_VST3_CALL getControllerClassId(vst3::TUID classId) override;
    vst3::tresult MG_VST3_CALL setIoMode(vst3::IoMode mode) override;
    vst3::int32 MG_VST3_CALL getBusCount(vst3::MediaType type, vst3::BusDirection dir) override;
    vst3::tresult MG_VST3_CALL getBusInfo(vst3::MediaType type, vst3::BusDirection dir, vst3::int32 index,
                                          vst3::BusInfo& bus) override;
    vst3::tresult MG_VST3_CALL getRoutingInfo(vst3::RoutingInfo& inInfo, vst3::RoutingInfo& outInfo) override;
    vst3::tresult MG_VST3_CALL activateBus(vst3::MediaType type, vst3::BusDirection dir, vst3::int32 index,
                                           vst3::TBool state) override;
    vst3::tresult MG_VST3_CALL setActive(vst3::TBool state) override;

    // ---- IAudioProcessor -------------------------------------------------
    vst3::tresult MG_VST3_CALL setBusArrangements(vst3::SpeakerArrangement* inputs, vst3::int32 numIns,
                                                  vst3::SpeakerArrangement* outputs, vst3::int32 numOuts) override;
    vst3::tresult MG_VST3_CALL getBusArrangement(vst3::BusDirection dir, vst3::int32 index,
                                                 vst3::SpeakerArrangement& arr) override;
    vst3::tresult MG_VST3_CALL canProcessSampleSize(vst3::int32 symbolicSampleSize) override;
    vst3::uint32 MG_VST3_CALL getLatencySamples() override;
    vst3::tresult MG_VST3_CALL setupProcessing(vst3::ProcessSetup& setup) override;
    vst3::tresult MG_VST3_CALL setProcessing(vst3::TBool state) override;
    vst3::tresult MG_VST3_CALL process(vst3::ProcessData& data) override;
    vst3::uint32 MG_VST3_CALL getTailSamples() override { return 0; }

    // ---- IProcessContextRequirements -------------------------------------
    vst3::uint32 MG_VST3_CALL getProcessContextRequirements() override;

    // ---- IEditController -------------------------------------------------
    vst3::tresult MG_VST3_CALL setComponentState(vst3::IBStream* state) override;
    vst3::int32 MG_VST3_CALL getParameterCount() override;
    vst3::tresult MG_VST3_CALL getParameterInfo(vst3::int32 paramIndex, vst3::ParameterInfo& info) override;
    vst3::tresult MG_VST3_CALL getParamStringByValue(vst3::ParamID id, vst3::ParamValue valueNormalized,
                                                     vst3::String128 string) override;
    vst3::tresult MG_VST3_CALL getParamValueByString(vst3::ParamID id, vst3::TChar* string,
                                                     vst3::ParamValue& valueNormalized) override;
    vst3::ParamValue MG_VST3_CALL normalizedParamToPlain(vst3::ParamID id, vst3::ParamValue valueNormalized) override;
    vst3::ParamValue MG_VST3_CALL plainParamToNormalized(vst3::ParamID id, vst3::ParamValue plainValue) override;
    vst3::ParamValue MG_VST3_CALL getParamNormalized(vst3::ParamID id) override;
    vst3::tresult MG_VST3_CALL setParamNormalized(vst3::ParamID id, vst3::ParamValue value) override;
    vst3::tresult MG_VST3_CALL setComponentHandler(vst3::IComponentHandler* handler) override;
    vst3::IPlugView* MG_VST3_CALL createView(vst3::FIDString name) override;

    // ---- what the editor's view asks of its plug-in ------------------------
    bool OpenEditorIn(void* parent);
    void CloseEditor();
    void IdleEditor();
    // The open view's frame resizes the host's window (IPlugFrame::resizeView).
    bool ResizeHostWindow(int width, int height) override;

private:
    struct ChangePoint {
        vst3::int32 offset;
        vst3::ParamID id;
        double value;
    };

    vst3::tresult SetProcessorState(vst3::IBStream* state) override;
    vst3::tresult GetProcessorState(vst3::IBStream* state) override;
    vst3::tresult SetControllerState(vst3::IBStream* state) override;
    vst3::tresult GetControllerState(vst3::IBStream* state) override;
    vst3::tresult LoadState(vst3::IBStream* state);

    bool IsParameter(vst3::ParamID id) const { return id < static_cast<vst3::ParamID>(ParameterCount()); }
    int ProgramStepCount() const { return PresetCount() - 1; }
    int ProgramOf(double normalized) const;
    void SelectProgram(int index);
    void ApplyChange(vst3::ParamID id, double normalized);

    void GatherChanges(vst3::IParameterChanges* changes, vst3::int32 frames);
    void ReportChangedValues(vst3::IParameterChanges* changes);
    template <class Sample>
    void RenderRange(const vst3::ProcessData& data, int begin, int end);
    bool SizeBuffers(int blockLength);

    vst3::RefCount refs_;
    vst3::HostRef<vst3::FUnknown> hostContext_;
    vst3::HostRef<vst3::IComponentHandler> handler_;
    bool initialized_ = false;
    bool active_ = false;
    bool processing_ = false;
    vst3::SpeakerArrangement arrangement_ = vst3::kSpeakerArrStereo;
    // The parameters being edited in the editor (a bit per index): their
    // echoes from the host would move the controls back mid-gesture. The
    // editor's thread writes it, the audio thread reads it.
    std::atomic<std::uint64_t> editing_{0};
    // Parameters whose values a program change moved, to be reported to the
    // host through the next process call's output changes.
    bool reportValues_ = false;
    std::vector<ChangePoint> points_;
    // Stand-ins for channels the host gives no buffer for, and the host's
    // buffers moved along a block rendered in parts.
    std::vector<float> silence32_;
    std::vector<float> discard32_;
    std::vector<double> silence64_;
    std::vector<double> discard64_;
    std::vector<float*> sliceIn32_;
    std::vector<float*> sliceOut32_;
    std::vector<double*> sliceIn64_;
    std::vector<double*> sliceOut64_;
    vst3::ProcessContext context_{};
    bool haveContext_ = false;
    Vst3View* openView_ = nullptr;
    friend class Vst3View;
};

} // namespace mg
