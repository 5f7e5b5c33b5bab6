// Requests from a host that is wrong or hostile, found by the fuzz targets,
// against a plug-in linked into the test so its inner state can be seen.
#include <gtest/gtest.h>

#include <climits>
#include <vector>

#include "vst/VstEntry.h"

namespace {

vst::intptr VST_CALL QuietHost(vst::AEffect*, vst::int32, vst::int32, vst::intptr, void*, float) { return 0; }

// Halves its input, so every rendered frame can be checked.
class Halver : public mg::IVstPlugin {
public:
    explicit Halver(vst::HostCallback host)
        : IVstPlugin(host, 0, "2-2", 1,
                     mg::PluginIdentity{.effectName = "Halver", .makerName = "tonewrights", .version = 0x10000,
                                        .uniqueId = mg::FourCC("hlvr"), .makerId = mg::FourCC("Tnwr")})
    {
    }
    void ProcessBlock(double** inputs, double** outputs, int frames) override
    {
        for (int c = 0; c < 2; ++c)
            for (int f = 0; f < frames; ++f) outputs[c][f] = inputs[c][f] * 0.5;
    }
};

TEST(HostileHost, AnAbsurdBlockSizeTakesNoMoreThanTheCapAndStillRendersEveryFrame)
{
    vst::AEffect* effect = mg::CreateVstInstance<Halver>(&QuietHost);
    auto* plugin = static_cast<Halver*>(effect->object);
    effect->dispatcher(effect, vst::effSetBlockSize, 0, INT_MAX, nullptr, 0.0f);
    EXPECT_EQ(plugin->BlockLength(), mg::IVstPlugin::kMaxBlockLength);
    effect->dispatcher(effect, vst::effSetBlockSize, 0, vst::intptr{1} << 40, nullptr, 0.0f);
    EXPECT_EQ(plugin->BlockLength(), mg::IVstPlugin::kMaxBlockLength);

    const int frames = mg::IVstPlugin::kMaxBlockLength * 2 + 3;
    std::vector<float> in(static_cast<std::size_t>(frames)), out0(in.size()), out1(in.size());
    for (int f = 0; f < frames; ++f) in[static_cast<std::size_t>(f)] = static_cast<float>(f % 1000);
    float* ins[] = {in.data(), in.data()};
    float* outs[] = {out0.data(), out1.data()};
    effect->processReplacing(effect, ins, outs, frames);
    for (int f = 0; f < frames; ++f) ASSERT_EQ(out1[static_cast<std::size_t>(f)], static_cast<float>(f % 1000) * 0.5f) << f;

    effect->dispatcher(effect, vst::effSetBlockSize, 0, 512, nullptr, 0.0f);
    EXPECT_EQ(plugin->BlockLength(), 512);
    effect->dispatcher(effect, vst::effClose, 0, 0, nullptr, 0.0f);
}

} // namespace
