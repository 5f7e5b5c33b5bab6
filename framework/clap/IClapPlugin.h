#pragma once
// Binds the plug-in base to CLAP: the plug-in record handed to the host, its
// life cycle (init, activate, processing), sample-accurate parameter events,
// the audio ports, parameters, state and latency extensions, and the edits
// the editor reports back to the host.
//
// One main audio port in each direction. Its channel count is one of the
// plug-in's channel configurations, chosen through audio-ports-config while
// deactivated; the widest is the default, which hosts that never choose get.
#include <atomic>
#include <cstdint>
#include <vector>

#include "clap/ClapAbi.h"
#include "clap/ClapEditQueue.h"
#include "core/IAudioPlugin.h"

namespace mg {

class IClapPlugin : public IAudioPlugin {
public:
    // Scratch buffers never grow past this many frames, whatever the host
    // announces; longer blocks are rendered in slices.
    static constexpr int kMaxBlockLength = 1 << 17;
    // Rates outside these are refused by activate: no filter design holds there.
    static constexpr double kMinSampleRate = 1000.0;
    static constexpr double kMaxSampleRate = 1536000.0;

    // What the module's factory hands an effect's constructor.
    using Host = const clap::host_t*;

    IClapPlugin(Host host, int parameterCount, const char* channelIOStr, int presetCount,
                const PluginIdentity& identity, const PluginOptions& options = {});
    ~IClapPlugin() override;

    // The record the host holds; the factory gives it this plug-in's descriptor.
    const clap::plugin_t* ClapRecord() const { return &record_; }
    void SetDescriptor(const clap::plugin_descriptor_t* descriptor) { record_.desc = descriptor; }
    static IClapPlugin* FromRecord(const clap::plugin_t* record);

    // ---- life cycle, as the host calls it ------------------------------------
    bool Init();
    bool Activate(double sampleRate, std::uint32_t minFrames, std::uint32_t maxFrames);
    void Deactivate();
    bool StartProcessing();
    void StopProcessing();
    void Reset();
    clap::process_status_t Process(const clap::process_t* process);
    bool IsActive() const { return active_.load(std::memory_order_acquire); }
    bool IsProcessing() const { return processing_.load(std::memory_order_acquire); }

    // ---- audio ports ----------------------------------------------------------
    std::uint32_t AudioPortCount(bool input) const { return PortChannels(input) > 0 ? 1 : 0; }
    bool AudioPortInfo(std::uint32_t index, bool input, clap::audio_port_info_t* info) const;
    std::uint32_t PortConfigCount() const { return static_cast<std::uint32_t>(ChannelPairCount()); }
    bool PortConfig(std::uint32_t index, clap::audio_ports_config_t* config) const;
    bool SelectPortConfig(clap::id_t id);
    int PortChannels(bool input) const;

    // ---- parameters: ids are indices, values the parameters' own units ---------
    bool ParamInfo(std::uint32_t index, clap::param_info_t* info) const;
    bool ParamValue(clap::id_t id, double* value);
    bool ParamToText(clap::id_t id, double value, char* out, std::uint32_t capacity);
    bool ParamFromText(clap::id_t id, const char* text, double* value);
    void Flush(const clap::input_events_t* in, const clap::output_events_t* out);

    // ---- state: the bytes of the VST 2.4 chunk ----------------------------------
    bool SaveState(const clap::ostream_t* stream);
    bool LoadState(const clap::istream_t* stream);

    // ---- editor: fixed size, embedded only ----------------------------------------
    bool GuiApiSupported(const char* api, bool floating) const;
    static const char* GuiNativeApi();
    bool GuiCreate(const char* api, bool floating);
    void GuiDestroy();
    bool GuiSize(std::uint32_t* width, std::uint32_t* height) const;
    bool GuiSetSize(std::uint32_t width, std::uint32_t height) const;
    bool GuiSetParent(const clap::window_t* window);
    bool GuiShown() const { return guiOpen_; }
    void GuiTick(clap::id_t timer);
    bool GuiSetScale(double scale);
    // The host's gui extension resizes its window (request_resize).
    bool ResizeHostWindow(int width, int height) override;

    // ---- host operations ----------------------------------------------------------
    void BeginHostEdit(int index) override;
    void InformHostOfChange(int index, double normalized) override;
    void EndHostEdit(int index) override;
    std::int32_t HostSamplePosition() override { return samplePosition_; }
    double HostTempo() override { return tempo_; }
    void HostTimeSignature(int* numerator, int* denominator) override;

    // ---- the host's extensions, each null when not offered ----------------------------
    Host ClapHost() const { return host_; }
    const clap::host_params_t* HostParams() const { return hostParams_; }
    // A line in the host's log, where it keeps one; main thread only.
    void Log(clap::log_severity_t severity, const char* message) const;
    // False only when the host can tell and says this is its audio thread:
    // what must not run there is refused.
    bool OffAudioThread() const;

private:
    template <class Sample>
    void RenderRange(Sample** inputs, Sample** outputs, std::uint32_t offset, std::uint32_t frames);
    template <class Sample>
    clap::process_status_t ProcessBuffers(const clap::process_t& process, Sample** inputs, Sample** outputs);
    void ApplyEvent(const clap::event_header_t* event);
    void ReadTransport(const clap::event_transport_t* transport);
    bool PushEdit(const ClapEdit& edit);
    void DrainEdits(const clap::output_events_t* out);
    void ConnectConfiguredChannels();
    void GuiClose();

    Host host_;
    clap::plugin_t record_{};
    const clap::host_params_t* hostParams_ = nullptr;
    const clap::host_log_t* hostLog_ = nullptr;
    const clap::host_thread_check_t* hostThreads_ = nullptr;
    const clap::host_timer_support_t* hostTimers_ = nullptr;
    const clap::host_gui_t* hostGui_ = nullptr;

    bool initialised_ = false;
    std::atomic<bool> active_{false};
    std::atomic<bool> processing_{false};
    // The channel configuration the ports show: an index into the channel pairs.
    int portConfig_ = 0;
    // Each parameter's value when the host first saw the plug-in.
    std::vector<double> defaults_;

    bool guiCreated_ = false;
    bool guiOpen_ = false;
    clap::id_t timerId_ = clap::kInvalidId;

    ClapEditQueue edits_;
    std::vector<bool> inGesture_; // per parameter: a begin sent, its end not yet
    bool flushRequested_ = false;

    std::int32_t samplePosition_ = 0;
    double tempo_ = 120.0;
    int timeSigNumerator_ = 4;
    int timeSigDenominator_ = 4;

    // Host buffer pointers moved along a block rendered in pieces.
    std::vector<float*> floatIn_, floatOut_;
    std::vector<double*> doubleIn_, doubleOut_;
};

} // namespace mg
