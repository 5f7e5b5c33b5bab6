// Our CLAP host side (host/clap/) on the pedal's module, beside the VST 2.4
// plug-in, both loaded as mg-host loads them: the same sound sample for
// sample in four settings, a parameter change in a block landing on its
// frame, and state carried to a fresh instance.
#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <vector>

#include "ClapHostedPlugin.h"
#include "Failure.h"
#include "HostContext.h"
#include "HostedPlugin.h"

namespace {

using mg::host::HostedPlugin;
constexpr int kBlock = 256;
constexpr int kBlocks = 12;

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
    plugin.Prepare(48000.0, kBlock);
    plugin.Resume();
    std::vector<float> in0(kBlock), in1(kBlock), out0(kBlock), out1(kBlock), all;
    float* ins[] = {in0.data(), in1.data()};
    float* outs[] = {out0.data(), out1.data()};
    for (int b = 0; b < kBlocks; ++b) {
        for (int f = 0; f < kBlock; ++f) {
            const double t = (b * kBlock + f) / 48000.0;
            in0[f] = static_cast<float>(0.7 * std::sin(2 * M_PI * 200 * t));
            in1[f] = static_cast<float>(0.5 * std::sin(2 * M_PI * 300 * t));
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

TEST(ClapHost, DescribesThePlugin)
{
    Loaded clap(MG_CLAP_MODULE);
    HostedPlugin& p = *clap.plugin;
    EXPECT_EQ(p.Name(), "Marrow-Grit[M]");
    EXPECT_EQ(p.Inputs(), 2);
    EXPECT_EQ(p.Outputs(), 2);
    EXPECT_TRUE(p.CanProcessDouble());
    EXPECT_EQ(p.LatencySamples(), 0);
    ASSERT_EQ(p.ParameterCount(), 4);
    EXPECT_EQ(p.ParameterDisplay(2), "On");
    p.SetParameter(2, 0.2);
    EXPECT_EQ(p.ParameterDisplay(2), "Off");
    EXPECT_EQ(p.Parameter(2), 0.0);
    EXPECT_TRUE(p.HasEditor());
    int w = 0, h = 0;
    EXPECT_TRUE(p.EditorSize(w, h));
    EXPECT_EQ(w, 213);
    EXPECT_FALSE(p.SelectProgram(0));
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

TEST(ClapHost, StateMovesToAFreshInstance)
{
    Loaded a(MG_CLAP_MODULE), b(MG_CLAP_MODULE);
    a.plugin->SetParameter(0, 0.25);
    a.plugin->SetParameter(3, 0.0);
    const std::vector<std::uint8_t> state = a.plugin->SaveState();
    EXPECT_EQ(state.size(), 40u);
    b.plugin->LoadState(state);
    EXPECT_EQ(b.plugin->Parameter(0), 0.25);
    EXPECT_EQ(b.plugin->Parameter(3), 0.0);
    EXPECT_THROW(b.plugin->LoadState({1, 2, 3}), mg::host::Failure);
    EXPECT_EQ(Render(*a.plugin), Render(*b.plugin));
}

} // namespace
