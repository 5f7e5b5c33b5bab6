#pragma once
// A second binding of the plug-in base, for tests: the host lives in the
// same process and calls the plug-in's operations directly, without the
// VST 2.4 interface. What the plug-in asks of the host is recorded.
#include <cstdint>
#include <vector>

#include "core/IAudioPlugin.h"

namespace mg::test {

struct InProcessHost {
    struct Request {
        char kind; // 'b' begin edit, 'a' automate, 'e' end edit
        int index;
        double value;
    };
    std::vector<Request> requests;
    std::int32_t samplePosition = 0;
    double tempo = 120.0;
};

class IInProcessPlugin : public IAudioPlugin {
public:
    using Host = InProcessHost*;

    IInProcessPlugin(Host host, int parameterCount, const char* channelIOStr, int presetCount,
                     const PluginIdentity& identity, const PluginOptions& options = {});

    // ---- what the host calls ---------------------------------------------
    // Brings the effect's derived values in line with its parameters.
    void Open();
    void SetSampleRate(double rate);
    // One block in place of the host's buffers, one per channel.
    void Process(double** inputs, double** outputs, int frames);
    bool SaveState(IByteChunk& chunk);
    bool LoadState(const IByteChunk& chunk);

    // ---- host operations -----------------------------------------------
    void BeginHostEdit(int index) override;
    void InformHostOfChange(int index, double normalized) override;
    void EndHostEdit(int index) override;
    std::int32_t HostSamplePosition() override { return host_->samplePosition; }
    double HostTempo() override { return host_->tempo; }

private:
    Host host_;
};

} // namespace mg::test
