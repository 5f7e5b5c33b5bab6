#include <gtest/gtest.h>

#include <type_traits>
#include <vector>

#include "FixtureGain.h"

namespace mg::test {
namespace {

static_assert(std::is_base_of_v<IInProcessPlugin, FixtureGain>,
              "the fixture's base is the binding of the target it is built into");

// Renders one stereo block of three frames and returns the left channel.
std::vector<double> Render(FixtureGain& plugin)
{
    double inL[3] = {1.0, -0.5, 0.25};
    double inR[3] = {1.0, -0.5, 0.25};
    double outL[3] = {};
    double outR[3] = {};
    double* inputs[2] = {inL, inR};
    double* outputs[2] = {outL, outR};
    plugin.Process(inputs, outputs, 3);
    EXPECT_EQ(outL[2], outR[2]);
    return {outL[0], outL[1], outL[2]};
}

TEST(InProcessBinding, DrivesTheFixtureEffectWithoutTheVstInterface)
{
    InProcessHost host;
    FixtureGain plugin(&host);
    plugin.SetSampleRate(48000.0);
    plugin.Open();
    EXPECT_EQ(Render(plugin), (std::vector<double>{1.0, -0.5, 0.25}));

    plugin.SetParameterFromHost(0, 0.25); // gain 0.5
    plugin.SetParameterFromHost(1, 1.0);  // inverted
    EXPECT_EQ(Render(plugin), (std::vector<double>{-0.5, 0.25, -0.125}));
    EXPECT_TRUE(host.requests.empty()) << "a host's own change is not told back";

    plugin.SetParameterFromGUI(0, 1.0); // gain 2, as the editor would set it
    ASSERT_EQ(host.requests.size(), 1u);
    EXPECT_EQ(host.requests[0].kind, 'a');
    EXPECT_EQ(host.requests[0].value, 1.0);
    EXPECT_EQ(Render(plugin), (std::vector<double>{-2.0, 1.0, -0.5}));
}

TEST(InProcessBinding, StateSavedIsStateLoaded)
{
    InProcessHost host;
    FixtureGain plugin(&host);
    plugin.Open();
    plugin.SetParameterFromHost(0, 0.75); // gain 1.5
    IByteChunk saved;
    ASSERT_TRUE(plugin.SaveState(saved));

    plugin.SetParameterFromHost(0, 0.0);
    ASSERT_TRUE(plugin.LoadState(saved));
    EXPECT_DOUBLE_EQ(plugin.ParameterAt(0)->value(), 1.5);
    EXPECT_EQ(Render(plugin), (std::vector<double>{1.5, -0.75, 0.375})) << "the handler ran on load";
}

} // namespace
} // namespace mg::test
