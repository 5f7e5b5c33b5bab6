// Shows the plug-in core at work without a host: parameters, display texts,
// presets and a state chunk round trip.
#include <cstdio>

#include "core/IAudioPlugin.h"

namespace {

class DemoPlugin : public mg::IAudioPlugin {
public:
    DemoPlugin()
        : IAudioPlugin(2, "1-1 2-2", 4, "Core Demo", "", "tonewrights", 0x10000,
                       mg::FourCC("cdmo"), mg::FourCC("Tnwr"), 0, false, false, false)
    {
        ParameterAt(0)->InitContinuous("Gain", 0.5, 0.0, 1.0, 0.001, "");
        ParameterAt(1)->InitChoice("Mode", 1, 2);
        ParameterAt(1)->AddValueText(0, "Clean");
        ParameterAt(1)->AddValueText(1, "Dirty");
        AddPresetFromValues("Loud", {1.0, 1});
        FillPresetsWithCurrent("Init", 3);
    }
    void BeginHostEdit(int) override {}
    void InformHostOfChange(int, double) override {}
    void EndHostEdit(int) override {}
    std::int32_t HostSamplePosition() override { return 0; }
    double HostTempo() override { return 0.0; }
    void HostTimeSignature(int* n, int* d) override { *n = *d = 0; }
    void EditorSizeChanged(int, int) override {}
    void AdaptToHost() override {}
    bool SendMidiMessage(const mg::MidiMessage&) override { return false; }
    bool SendMidiMessages(std::span<const mg::MidiMessage>) override { return false; }
};

void PrintParameters(DemoPlugin& p)
{
    for (int i = 0; i < p.ParameterCount(); ++i) {
        const mg::IParameter& param = *p.ParameterAt(i);
        char text[32];
        param.FormatForHost(param.value(), false, text, sizeof text);
        std::printf("  %-6s %-8s (normalised %.3f)\n", param.name(), text, param.Normalized());
    }
}

} // namespace

int main()
{
    DemoPlugin p;
    std::printf("%s by %s, version %d, channels %d in / %d out\n", p.EffectName(), p.MakerName(),
                p.EffectVersion(true), p.InputChannelCount(), p.OutputChannelCount());
    PrintParameters(p);
    for (int i = 0; i < p.PresetCount(); ++i) std::printf("  preset %d: %s\n", i, p.PresetName(i));
    p.SelectPreset(0);
    std::printf("after selecting preset 0:\n");
    PrintParameters(p);
    mg::IByteChunk chunk;
    mg::IAudioPlugin::WriteChunkHeader(chunk);
    p.SerializeParams(chunk);
    std::printf("state chunk: %d bytes\n", chunk.Size());
    return 0;
}
