#pragma once
// The pedal: a fuzz with a switchable speaker cabinet, on the binding of the
// library it is built into (the VST 2.4 binding for the plug-in).
#include <limits>
#include <memory>

#include "BiquadBank.h"
#include "ChainKernels.h"
#include "NoiseTable.h"
#include "BindingPlugin.h"

namespace mg {

class StompSwitch;

class MarrowGrit : public BindingPlugin {
public:
    enum Parameter { kLevel = 0, kAttack, kEffect, kCabinet, kParameterCount };

    // Who the pedal is to hosts, in every format: the names, the version and
    // the four-character codes it has always had.
    static constexpr PluginIdentity kIdentity{.effectName = "Marrow-Grit[M]", .productName = "",
                                              .makerName = "tonewrights", .windowTitle = "Marrow-Grit",
                                              .version = 0x20300,
                                              .uniqueId = FourCC("kbq7"), .makerId = FourCC("Tnwr")};

    explicit MarrowGrit(BindingPlugin::Host host);
    ~MarrowGrit() override;

    void OnReset() override;
    void OnParameterChange(int index) override;
    void ProcessBlock(double** inputs, double** outputs, int frames) override;

    // The instruction set of the effect chain: the widest available from
    // construction on. Another can be chosen for comparison; false (and no
    // change) when this machine cannot run it.
    bool SetChainIsa(ChainIsa isa);
    ChainIsa ActiveChainIsa() const { return chainIsa; }

    // Read-only views for tools and tests.
    const BiquadBank& Bank() const { return bank; }
    const double* NoiseTable() const { return noiseTable; }
    double OutputGain() const { return outputGain; }
    double Drive() const { return drive; }
    double Attack() const { return attack; }
    bool EffectOn() const { return effectOn; }
    bool CabinetOn() const { return cabinetOn; }
    int LedControlIndex() const { return ledControlIndex; }

protected:
    // A block's two inputs and two outputs; false (nothing to do) for no
    // frames or a missing buffer.
    struct Stereo {
        const double* in0;
        const double* in1;
        double* out0;
        double* out1;
    };
    static bool TakeStereo(double** inputs, double** outputs, int frames, Stereo& stereo);

    // Another pedal of the family: the same parameters, programs, state and
    // editor under its own identity.
    MarrowGrit(BindingPlugin::Host host, const PluginIdentity& identity, const PluginOptions& options);
    const ChainKernels& Chain() const { return *chain; }

private:
    void BuildEditor();
    void SetLed(double value);

    // Engine values start silent and bypassed; the host's open request sets
    // them from the parameters before any audio is expected.
    double sampleRate = 0.0;
    double designedSampleRate = std::numeric_limits<double>::quiet_NaN();
    double outputGain = 0.0;
    double drive = 0.0;
    double attack = 0.0;
    double noiseTable[kNoiseTableSize] = {};
    int ledControlIndex = -1;
    bool effectOn = false;
    bool cabinetOn = false;
    BiquadBank bank;
    // Watches the footswitch; the footswitch does not own its observers.
    std::unique_ptr<StompSwitch> stompSwitch;
    // The effect chain's kernels, chosen once at construction.
    ChainIsa chainIsa = ChainIsa::Scalar;
    const ChainKernels* chain = nullptr;
};

} // namespace mg
