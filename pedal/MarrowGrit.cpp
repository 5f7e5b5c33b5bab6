#include "MarrowGrit.h"

#include <cmath>

#include "AddressCheck.h"
#include "SectionDesign.h"
#include "StompSwitch.h"
#include "editor/IGraphics.h"

namespace mg {

MarrowGrit::MarrowGrit(BindingPlugin::Host host)
    : MarrowGrit(host, kIdentity,
                 PluginOptions{.latency = 0, .doesMidi = false, .stateChunks = false, .isInstrument = false})
{
}

MarrowGrit::MarrowGrit(BindingPlugin::Host host, const PluginIdentity& identity, const PluginOptions& options)
    : BindingPlugin(host, kParameterCount, "1-1 2-2", 16, identity, options)
{
    ParameterAt(kLevel)->InitContinuous("Level", 0.5, 0.0, 1.0, 0.001, "");
    ParameterAt(kAttack)->InitContinuous("Attack", 0.5, 0.0, 1.0, 0.001, "");
    ParameterAt(kEffect)->InitChoice("Effect", 1, 2);
    ParameterAt(kEffect)->AddValueText(0, "Off");
    ParameterAt(kEffect)->AddValueText(1, "On");
    ParameterAt(kCabinet)->InitChoice("Cabinet", 1, 2);
    ParameterAt(kCabinet)->AddValueText(0, "Off");
    ParameterAt(kCabinet)->AddValueText(1, "On");

    AddPresetFromValues("Init", {1.0, 0.5, 1, 1});
    FillPresetsWithCurrent("Init", 15);

    SetChainIsa(BestChainIsa());
    if (BuildsEditor()) BuildEditor();
}

MarrowGrit::~MarrowGrit()
{
    // No redraw tick may reach the footswitch's observer once it is gone.
    if (IGraphics* graphics = EditorGraphics()) graphics->CloseEditorWindow();
}

// ---- parameters ---------------------------------------------------------------

void MarrowGrit::SetLed(double value)
{
    if (IGraphics* graphics = EditorGraphics()) graphics->SetControlValueFromPlugin(ledControlIndex, value);
}

void MarrowGrit::OnParameterChange(int index)
{
    LockGuard guard(Lock());
    const IParameter* parameter = ParameterAt(index);
    if (!parameter) return;
    const double value = parameter->value();
    switch (index) {
    case kLevel:
        outputGain = value * 4.0;
        break;
    case kAttack:
        attack = value;
        drive = value * 5.0;
        break;
    case kEffect: {
        const int n = static_cast<int>(value);
        if (n == 0 || n == 1) {
            SetLed(n);
            effectOn = n == 1;
        }
        break;
    }
    case kCabinet: {
        const int n = static_cast<int>(value);
        if (n == 0 || n == 1) cabinetOn = n == 1;
        break;
    }
    default:
        break;
    }
}

// ---- reset and design ------------------------------------------------------------

void MarrowGrit::OnReset()
{
    LockGuard guard(Lock());
    sampleRate = SampleRate();
    FillNoiseTable(noiseTable);
    if (!(designedSampleRate == sampleRate)) {
        designedSampleRate = sampleRate;
        bank.ClearBank();
        DesignAllSections(bank, sampleRate);
    }
}

bool MarrowGrit::SetChainIsa(ChainIsa isa)
{
    const ChainKernels* kernels = ChainKernelsFor(isa);
    if (!kernels) return false;
    LockGuard guard(Lock());
    chainIsa = isa;
    chain = kernels;
    return true;
}

// ---- audio ---------------------------------------------------------------------------

bool MarrowGrit::TakeStereo(double** inputs, double** outputs, int frames, Stereo& stereo)
{
    if (frames <= 0 || !inputs || !outputs) return false;
    stereo = {inputs[0], inputs[1], outputs[0], outputs[1]};
    return stereo.in0 && stereo.in1 && stereo.out0 && stereo.out1;
}

void MarrowGrit::ProcessBlock(double** inputs, double** outputs, int frames)
{
    Stereo stereo{};
    if (!TakeStereo(inputs, outputs, frames, stereo)) return;
    const auto [in0, in1, out0, out1] = stereo;

    if (!effectOn) {
        for (int i = 0; i < frames; ++i) {
            const double v = in1[i] + in0[i];
            out1[i] = v;
            out0[i] = v;
        }
        return;
    }
    // One noise entry per frame, from the start of the table in every block;
    // a block longer than the table starts it over.
    const std::size_t bytes = static_cast<std::size_t>(frames) * sizeof(double);
    for (const void* buffer : {static_cast<const void*>(in0), static_cast<const void*>(in1),
                               static_cast<const void*>(out0), static_cast<const void*>(out1)})
        CheckAddressable(buffer, bytes);
    const ChainBlock block{&bank, in0, in1, out0, out1, frames, noiseTable, drive, attack, outputGain};
    const bool cabinet = cabinetOn;
    const bool ran = (cabinet ? chain->fuzzCabinet : chain->fuzz)(block);
    // A non-finite sample from the host would otherwise leave the recursive
    // sections broken until the next change of sample rate. The kernel has
    // checked the sections it ran.
    if (!ran || (!cabinet && !bank.StatesFinite(kCabinetFirst, kCabinetLast + 1))) bank.ClearStates();
}

} // namespace mg
