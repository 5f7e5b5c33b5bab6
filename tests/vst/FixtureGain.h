#pragma once
// A tiny effect on the framework, kept as a test fixture: a gain with a
// polarity switch. Like any effect it derives from the binding of the
// library it is built into: the VST 2.4 fixture library (FixtureGain.cpp)
// and the in-process binding's tests build this same source.
#include "BindingPlugin.h"

namespace mg::test {

class FixtureGain : public BindingPlugin {
public:
    explicit FixtureGain(BindingPlugin::Host host)
        : BindingPlugin(host, 2, "1-1 2-2", 3,
                        PluginIdentity{.effectName = "Fixture Gain", .productName = "Fixtures",
                                       .makerName = "tonewrights", .version = 0x10203,
                                       .uniqueId = FourCC("fxGn"), .makerId = FourCC("Tnwr")})
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
        LockGuard guard(Lock());
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

} // namespace mg::test
