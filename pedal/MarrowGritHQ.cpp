#include "MarrowGritHQ.h"

namespace mg {

MarrowGritHQ::MarrowGritHQ(BindingPlugin::Host host)
    : MarrowGrit(host,
                 PluginIdentity{.effectName = "Marrow-Grit HQ", .productName = "", .makerName = "tonewrights",
                                .windowTitle = "Marrow-Grit HQ", .version = 0x20300, .uniqueId = kHqUniqueId, .makerId = FourCC("Tnwr")},
                 PluginOptions{.latency = kHqLatency, .doesMidi = false, .stateChunks = false, .isInstrument = false})
{
}

void MarrowGritHQ::OnReset()
{
    LockGuard guard(Lock());
    // The noise table, as the exact pedal fills it.
    MarrowGrit::OnReset();
    hq.Reset(SampleRate());
}

void MarrowGritHQ::ProcessBlock(double** inputs, double** outputs, int frames)
{
    if (frames <= 0 || !inputs || !outputs) return;
    const double* in0 = inputs[0];
    const double* in1 = inputs[1];
    double* out0 = outputs[0];
    double* out1 = outputs[1];
    if (!in0 || !in1 || !out0 || !out1) return;
    if (!EffectOn()) {
        hq.Bypass(in0, in1, out0, out1, frames);
        return;
    }
    hq.Process(Chain(), in0, in1, out0, out1, frames, NoiseTable(),
               {.drive = Drive(), .attack = Attack(), .outputGain = OutputGain(), .cabinet = CabinetOn()});
}

} // namespace mg
