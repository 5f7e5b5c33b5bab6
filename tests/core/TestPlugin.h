#pragma once
// A concrete plug-in on the bare base: the host operations are recorded so
// tests can see what the core asked of a host.
#include <vector>

#include "core/IAudioPlugin.h"

namespace mg::test {

class TestPlugin : public IAudioPlugin {
public:
    explicit TestPlugin(int parameters = 2, const char* channels = "1-1 2-2", int presets = 4)
        : IAudioPlugin(parameters, channels, presets,
                       PluginIdentity{.effectName = "Test", .makerName = "maker", .version = 0x10203,
                                      .uniqueId = FourCC("tst1"), .makerId = FourCC("Mkr1")})
    {
    }

    void OnParameterChange(int index) override { changes.push_back(index); }

    void BeginHostEdit(int index) override { begins.push_back(index); }
    void InformHostOfChange(int index, double normalized) override
    {
        automated.push_back({index, normalized});
    }
    void EndHostEdit(int index) override { ends.push_back(index); }
    std::int32_t HostSamplePosition() override { return 0; }
    double HostTempo() override { return 0.0; }
    void HostTimeSignature(int* n, int* d) override { *n = *d = 0; }
    void EditorSizeChanged(int, int) override {}
    void AdaptToHost() override {}
    bool SendMidiMessage(const MidiMessage&) override { return true; }
    bool SendMidiMessages(std::span<const MidiMessage>) override { return true; }

    struct Automation {
        int index;
        double value;
    };
    std::vector<int> changes;
    std::vector<int> begins;
    std::vector<int> ends;
    std::vector<Automation> automated;
};

} // namespace mg::test
