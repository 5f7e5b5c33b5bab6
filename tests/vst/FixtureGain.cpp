// A tiny effect on the framework, kept as a test fixture: a gain with a
// polarity switch, loaded by the tests through the library's entry points.
#include "vst/VstEntry.h"

namespace {

class FixtureGain : public mg::IVstPlugin {
public:
    explicit FixtureGain(vst::HostCallback host)
        : IVstPlugin(host, 2, "1-1 2-2", 3, "Fixture Gain", "Fixtures", "tonewrights", 0x10203,
                     mg::FourCC("fxGn"), mg::FourCC("Tnwr"), 0, false, false, false)
    {
        ParameterAt(0)->InitContinuous("Gain", 1.0, 0.0, 2.0, 0.01, "x");
        ParameterAt(1)->InitChoice("Invert", 0, 2);
        ParameterAt(1)->AddValueText(0, "Off");
        ParameterAt(1)->AddValueText(1, "On");
        AddPresetFromValues("Half", {0.5, 0});
        FillPresetsWithCurrent("Unity", 2);
    }

    void OnParameterChange(int index) override
    {
        mg::LockGuard guard(Lock());
        if (index == 0) gain_ = ParameterAt(0)->value();
        if (index == 1) sign_ = ParameterAt(1)->value() >= 0.5 ? -1.0 : 1.0;
    }

    void ProcessBlock(double** inputs, double** outputs, int frames) override
    {
        for (int c = 0; c < OutputChannelCount(); ++c) {
            const double* in = inputs ? inputs[c] : nullptr;
            double* out = outputs ? outputs[c] : nullptr;
            if (!out) continue;
            for (int i = 0; i < frames; ++i) out[i] = in ? in[i] * gain_ * sign_ : 0.0;
        }
    }

private:
    double gain_ = 1.0;
    double sign_ = 1.0;
};

} // namespace

MG_VST_ENTRY(FixtureGain)
