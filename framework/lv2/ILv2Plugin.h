#pragma once
// Binds the plug-in base to LV2: the instance's ports and its run cycle.
//
// Ports, in index order: one audio input per input channel, one audio
// output per output channel, one control input per parameter in the
// parameter's own units, and for a plug-in with latency a control output
// that reports it. The bundle's description (Lv2Turtle.h) is written from
// the same layout.
#include <cstdint>
#include <vector>

#include "core/IAudioPlugin.h"

#include <lv2/core/lv2.h>

namespace mg {

// What the library's entry point hands an effect's constructor.
struct Lv2Host {
    double sampleRate = 0.0;
    const LV2_Feature* const* features = nullptr;
};

class ILv2Plugin : public IAudioPlugin {
public:
    // Scratch for this many frames is taken once; longer runs are rendered
    // in slices, so no run, however long, allocates.
    static constexpr int kSliceFrames = 4096;

    using Host = const Lv2Host*;

    ILv2Plugin(Host host, int parameterCount, const char* channelIOStr, int presetCount,
               const PluginIdentity& identity, const PluginOptions& options = {});

    // ---- port layout --------------------------------------------------------
    int FirstOutputPort() const { return InputChannelCount(); }
    int FirstControlPort() const { return InputChannelCount() + OutputChannelCount(); }
    bool ReportsLatency() const { return Latency() > 0; }
    int LatencyPort() const { return FirstControlPort() + ParameterCount(); }
    int PortCount() const { return LatencyPort() + (ReportsLatency() ? 1 : 0); }

    // ---- what the entry points call -----------------------------------------
    // Once after construction: derived values from the parameters, filters
    // designed for the rate.
    void Open(double sampleRate);
    void ConnectPort(std::uint32_t port, void* data);
    void Activate();
    // Control ports first (a value that changed goes through the parameter
    // model as a host's change), then the audio, float in and out.
    void Run(std::uint32_t frames);
    void Deactivate();

    // Parameters reach the DSP through ports only: it has nothing to tell
    // the host, and the base's defaults answer for the rest.
    bool BuildsEditor() const override { return false; }

private:
    void ApplyControlPorts();
    void RenderSlice(std::uint32_t offset, int frames);

    std::vector<const float*> inputPorts_;
    std::vector<float*> outputPorts_;
    std::vector<const float*> controlPorts_;
    float* latencyPort_ = nullptr;
    // The value each control port had when last applied; NaN until then.
    std::vector<float> appliedControls_;
    // A slice's buffers: the host's moved along, or stand-ins for ports
    // connected to nothing.
    std::vector<float*> sliceInputs_;
    std::vector<float*> sliceOutputs_;
    std::vector<float> silence_;
    std::vector<float> discard_;
};

} // namespace mg
