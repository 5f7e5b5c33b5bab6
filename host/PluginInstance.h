#pragma once
// One loaded VST 2.4 plug-in, spoken to through the raw interface only: the
// entry point, the dispatcher and the process functions. It is also the
// format-neutral HostedPlugin, for the parts of the hosts that serve every
// format; what only VST 2.4 has stays here.
//
// The constructor goes as far as an open effect; the destructor walks back
// from whatever state the instance reached (stop, suspend, close), then
// unloads the library, so an error anywhere leaves nothing running.
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "HostedPlugin.h"
#include "Platform.h"
#include "VstAbi.h"

namespace mg::host {

class HostContext;

class PluginInstance final : public HostedPlugin {
public:
    // Loads `path`, calls `VSTPluginMain` (or `main`), checks the magic and
    // sends effOpen. Throws Failure with a one-line reason. `host` answers
    // the plug-in's requests from the entry call on and must outlive it.
    PluginInstance(const std::string& path, HostContext& host);
    ~PluginInstance() override;

    const vst::AEffect& Effect() const { return *effect_; }
    vst::AEffect* Raw() { return effect_; }
    bool HasFlag(vst::int32 flag) const { return (effect_->flags & flag) != 0; }

    vst::intptr Dispatch(vst::int32 opcode, vst::int32 index = 0, vst::intptr value = 0, void* ptr = nullptr,
                         float opt = 0.0f);

    // A text the plug-in writes into our buffer, cut at its terminator. The
    // buffer is far larger than any limit, and its last byte is forced to
    // zero, so a plug-in that overruns its limit does no harm.
    std::string ReadString(vst::int32 opcode, vst::int32 index = 0, vst::intptr* answer = nullptr);

    std::string EffectName() { return ReadString(vst::effGetEffectName); }
    std::string VendorString() { return ReadString(vst::effGetVendorString); }
    std::string ProductString() { return ReadString(vst::effGetProductString); }
    std::string ParamName(int index) { return ReadString(vst::effGetParamName, index); }
    std::string ParamLabel(int index) { return ReadString(vst::effGetParamLabel, index); }
    std::string ParamDisplay(int index) { return ReadString(vst::effGetParamDisplay, index); }

    // Every program's name: effGetProgramNameIndexed, or, where that answers
    // 0, selecting the program and asking its name (the current program is
    // restored afterwards).
    std::vector<std::string> ProgramNames() override;

    // The editor's size as the plug-in reports it before opening; false
    // when it gives none.
    bool SetEditorScale(double scale) override;
    bool EditorSize(int& width, int& height) override;

    void SetSampleRate(double rate);
    void SetBlockSize(int frames);
    float GetParameter(int index);

    // ---- HostedPlugin ----------------------------------------------------
    PluginFormat Format() const override { return PluginFormat::Vst2; }
    std::string Name() override;
    std::string Vendor() override { return VendorString(); }
    std::string Id() override;
    int Inputs() override { return effect_->numInputs; }
    int Outputs() override { return effect_->numOutputs; }
    bool CanProcessDouble() override;
    int LatencySamples() override { return effect_->initialDelay; }
    int ParameterCount() override { return effect_->numParams; }
    std::string ParameterName(int index) override { return ParamName(index); }
    std::string ParameterLabel(int index) override { return ParamLabel(index); }
    std::string ParameterDisplay(int index) override { return ParamDisplay(index); }
    double Parameter(int index) override { return static_cast<double>(GetParameter(index)); }
    void SetParameter(int index, double normalized) override;
    // VST 2.4 has no sample-accurate changes: the value applies at once,
    // so at the start of the next block.
    void ScheduleParameter(int index, double normalized, int /*frame*/) override { SetParameter(index, normalized); }
    bool SelectProgram(int index) override;
    // The bank chunk.
    std::vector<std::uint8_t> SaveState() override;
    void LoadState(const std::vector<std::uint8_t>& bytes) override;
    // effSetSampleRate and effSetBlockSize.
    void Prepare(double sampleRate, int maxFrames, SampleSize samples) override;
    // effMainsChanged 1 and effStartProcess; Suspend() undoes both.
    void Resume() override;
    void Suspend() override;
    void Process(float** inputs, float** outputs, int frames) override;
    void Process(double** inputs, double** outputs, int frames) override;
    bool HasEditor() override { return HasFlag(vst::effFlagsHasEditor); }
    bool OpenEditor(void* parent) override;
    void IdleEditor() override;
    void CloseEditor() override;
    PluginInstance* AsVst2() override { return this; }

    // The bank chunk (index 0) or the current program's (index 1). The
    // answer is the plug-in's own return value.
    vst::intptr SetChunk(const std::vector<std::uint8_t>& bytes, vst::int32 index = 0);
    std::vector<std::uint8_t> GetChunk(vst::intptr& answer, vst::int32 index = 0);

private:
    std::unique_ptr<Library> library_;
    vst::AEffect* effect_ = nullptr;
    bool open_ = false;
    bool mainsOn_ = false;
    bool processing_ = false;
};

} // namespace mg::host
