// Our CLAP host side (host/clap/) on the pedal's module, beside the VST 2.4
// plug-in, both loaded as mg-host loads them: the same sound sample for
// sample in four settings, and a parameter change in a block landing on its
// frame.
#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <vector>

#include "ClapHostedPlugin.h"
#include "HostContext.h"
#include "HostedPlugin.h"

namespace {

using mg::host::HostedPlugin;
constexpr int kBlock = 256;
constexpr int kBlocks = 24;

struct Loaded {
    mg::host::HostContext context{48000.0, kBlock};
    std::unique_ptr<HostedPlugin> plugin;
    explicit Loaded(const char* path) : plugin(mg::host::LoadPlugin(path, context)) {}
};

// Renders two tones through the plug-in after `settings`, block by block;
// `during` runs before each block with its number.
template <class During>
std::vector<float> Render(HostedPlugin& plugin, During during)
{
    plugin.Prepare(48000.0, kBlock, mg::host::SampleSize::Float);
    plugin.Resume();
    std::vector<float> in0(kBlock), in1(kBlock), out0(kBlock), out1(kBlock), all;
    float* ins[] = {in0.data(), in1.data()};
    float* outs[] = {out0.data(), out1.data()};
    for (int b = 0; b < kBlocks; ++b) {
        for (int f = 0; f < kBlock; ++f) {
            const double t = (b * kBlock + f) / 48000.0;
            // Silence first, then plucks: in silence the output is the
            // pedal's anti-denormal noise alone, so the two must also start
            // from the same place in its sequence.
            const double decay = b < 2 ? 0.0 : std::exp(-12.0 * std::fmod(t, 0.02));
            in0[f] = static_cast<float>(0.7 * decay * std::sin(2 * M_PI * 200 * t));
            in1[f] = static_cast<float>(0.5 * decay * std::sin(2 * M_PI * 300 * t));
        }
        during(b);
        plugin.Process(ins, outs, kBlock);
        all.insert(all.end(), out0.begin(), out0.end());
        all.insert(all.end(), out1.begin(), out1.end());
    }
    plugin.Suspend();
    return all;
}

std::vector<float> Render(HostedPlugin& plugin)
{
    return Render(plugin, [](int) {});
}

TEST(ClapHost, SoundsAsTheVstPluginInFourSettings)
{
    const std::vector<std::vector<std::pair<const char*, double>>> settings = {
        {}, {{"Effect", 0.0}}, {{"Attack", 1.0}, {"Cabinet", 0.0}}, {{"Level", 0.0}}};
    for (const auto& setting : settings) {
        Loaded vst(MG_VST_MODULE), clap(MG_CLAP_MODULE);
        ASSERT_EQ(clap.plugin->Format(), mg::host::PluginFormat::Clap);
        for (auto [name, value] : setting)
            for (Loaded* l : {&vst, &clap}) l->plugin->SetParameter(l->plugin->FindParameter(name), value);
        EXPECT_EQ(Render(*clap.plugin), Render(*vst.plugin)) << setting.size();
    }
}

TEST(ClapHost, AChangeInABlockLandsOnItsFrame)
{
    Loaded reference(MG_CLAP_MODULE), scheduled(MG_CLAP_MODULE);
    const std::vector<float> plain = Render(*reference.plugin);
    const int at = 3 * kBlock + 100;
    const std::vector<float> changed = Render(*scheduled.plugin, [&](int b) {
        if (b == 3) scheduled.plugin->ScheduleParameter(2, 0.0, 100);
    });
    // Up to the frame the two agree; from it on the second is the dry sum.
    for (int f = 0; f < at; ++f) {
        const auto i = static_cast<std::size_t>((f / kBlock) * 2 * kBlock + f % kBlock);
        ASSERT_EQ(changed[i], plain[i]) << f;
    }
    const auto i = static_cast<std::size_t>(3 * 2 * kBlock + 100);
    EXPECT_NE(changed[i], plain[i]);
    EXPECT_EQ(scheduled.plugin->Parameter(2), 0.0);
}

// A display's scale told before opening reaches the editor in every
// format's own words: the size it asks for follows.
TEST(HostedEditor, EveryFormatTakesTheDisplaysScaleBeforeOpening)
{
    std::vector<const char*> paths = {MG_VST_MODULE, MG_CLAP_MODULE};
#if defined(MG_VST3_BUNDLE)
    paths.push_back(MG_VST3_BUNDLE);
#endif
    for (const char* path : paths) {
        SCOPED_TRACE(path);
        Loaded loaded(path);
        int width = 0, height = 0;
        ASSERT_TRUE(loaded.plugin->EditorSize(width, height));
        EXPECT_EQ(std::pair(width, height), std::pair(213, 326));
        ASSERT_TRUE(loaded.plugin->SetEditorScale(2.0));
        ASSERT_TRUE(loaded.plugin->EditorSize(width, height));
        EXPECT_EQ(std::pair(width, height), std::pair(426, 652));
    }
}

} // namespace
