#pragma once
// One CLAP plug-in loaded from a .clap module, spoken to through the raw
// interface only (ClapAbi.h): the entry, the factory, the module's first
// plug-in, its audio ports, parameters (plain values, shown to the hosts
// normalised), state, gui and timers. The host record it hands over offers
// thread-check, log, params, state, latency and timer-support.
//
// The constructor goes as far as an initialised, deactivated plug-in; the
// destructor walks back from whatever state it reached (editor, processing,
// active), destroys it, then deinits and unloads the module.
#include <chrono>
#include <cstdint>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "ClapAbi.h"
#include "HostedPlugin.h"
#include "PluginLibrary.h"

namespace mg::host {

class ClapHostedPlugin final : public HostedPlugin {
public:
    // One event the plug-in sent: its type, parameter and plain value.
    struct SentEvent {
        std::uint16_t type;
        clap::id_t param;
        double value;
    };

    // Throws Failure with a one-line reason.
    explicit ClapHostedPlugin(const std::string& path);
    ~ClapHostedPlugin() override;

    PluginFormat Format() const override { return PluginFormat::Clap; }
    std::string Name() override;
    std::string Vendor() override;
    std::string Id() override;
    int Inputs() override { return inputChannels_; }
    int Outputs() override { return outputChannels_; }
    bool CanProcessDouble() override { return wide_; }
    int LatencySamples() override;
    int ParameterCount() override { return static_cast<int>(params_.size()); }
    std::string ParameterName(int index) override;
    std::string ParameterLabel(int) override { return ""; }
    std::string ParameterDisplay(int index) override;
    double Parameter(int index) override;
    void SetParameter(int index, double normalized) override;
    void ScheduleParameter(int index, double normalized, int frame) override;
    // CLAP has no programs of its own.
    std::vector<std::string> ProgramNames() override { return {}; }
    bool SelectProgram(int) override { return false; }
    std::vector<std::uint8_t> SaveState() override;
    void LoadState(const std::vector<std::uint8_t>& bytes) override;
    void Prepare(double sampleRate, int maxFrames, SampleSize samples) override;
    void Resume() override;
    void Suspend() override;
    void Process(float** inputs, float** outputs, int frames) override;
    void Process(double** inputs, double** outputs, int frames) override;
    bool HasEditor() override;
    bool SetEditorScale(double scale) override;
    bool EditorSize(int& width, int& height) override;
    bool OpenEditor(void* parent) override;
    void IdleEditor() override;
    void CloseEditor() override;

    // What the plug-in sent through process and flush since the last call.
    std::vector<SentEvent> TakeSentEvents();

private:
    struct Timer {
        clap::id_t id;
        std::chrono::milliseconds period;
        std::chrono::steady_clock::time_point due;
    };
    template <class Sample>
    void ProcessBlock(Sample** inputs, Sample** outputs, int frames);
    double Plain(int index, double normalized) const;
    const clap::param_info_t& Info(int index) const;
    void Flush();
    bool CreateGui();
    void Record(const clap::event_header_t* event);

    static const void* CLAP_CALL HostExtension(const clap::host_t* host, const char* id);
    static ClapHostedPlugin& Of(const clap::host_t* host);

    std::unique_ptr<loader::Library> library_;
    const clap::plugin_entry_t* entry_ = nullptr;
    bool entryInitialised_ = false;
    clap::host_t host_{};
    const clap::plugin_t* plugin_ = nullptr;
    const clap::plugin_params_t* paramsExt_ = nullptr;
    const clap::plugin_state_t* state_ = nullptr;
    const clap::plugin_gui_t* gui_ = nullptr;
    const clap::plugin_timer_support_t* timerSupport_ = nullptr;
    const clap::plugin_latency_t* latency_ = nullptr;
    std::vector<clap::param_info_t> params_;
    int inputChannels_ = 0;
    int outputChannels_ = 0;
    bool wide_ = false;

    std::thread::id mainThread_;
    double sampleRate_ = 44100.0;
    int maxFrames_ = 0;
    bool active_ = false;
    bool processing_ = false;
    bool guiCreated_ = false;
    bool flushWanted_ = false;
    std::int64_t steadyTime_ = 0;
    std::vector<clap::event_param_value_t> scheduled_;
    std::vector<clap::event_param_value_t> later_; // past the block being processed
    std::vector<SentEvent> sent_;
    std::vector<Timer> timers_;
    clap::id_t nextTimer_ = 0;
};

} // namespace mg::host
