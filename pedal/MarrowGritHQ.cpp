#include "MarrowGritHQ.h"

namespace mg {

MarrowGritHQ::MarrowGritHQ(BindingPlugin::Host host)
    : MarrowGrit(host, kIdentity,
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
    Stereo stereo{};
    if (!TakeStereo(inputs, outputs, frames, stereo)) return;
    const auto [in0, in1, out0, out1] = stereo;
    if (!EffectOn()) {
        hq.Bypass(in0, in1, out0, out1, frames);
        return;
    }
    hq.Process(Chain(), in0, in1, out0, out1, frames, NoiseTable(),
               {.drive = Drive(), .attack = Attack(), .outputGain = OutputGain(), .cabinet = CabinetOn()});
}

} // namespace mg
