// mg-host on the pedal's VST 3 bundle, each run a process of its own as a
// user runs it: the description, renders equal to the VST 2.4 plug-in's
// sample for sample, and states that move between the two formats.
#include <gtest/gtest.h>
#include <sndfile.h>

#include <fstream>

#include "HostTestSupport.h"

namespace mg::hosttest {
namespace {

class Vst3Render : public ::testing::Test {
protected:
    void SetUp() override { WriteSine(in_, 2, 48000, 24000, SF_FORMAT_WAV | SF_FORMAT_FLOAT, 200.0); }

    Audio Render(const std::string& plugin, std::vector<std::string> options, const std::string& name)
    {
        std::vector<std::string> args{"render", plugin, in_, dir_ / name, "--quiet"};
        args.insert(args.end(), options.begin(), options.end());
        const RunResult r = RunHost(args);
        EXPECT_EQ(r.exitCode, 0) << r.err;
        return ReadAudio(dir_ / name);
    }

    TempDir dir_;
    std::string in_ = dir_ / "in.wav";
};

TEST_F(Vst3Render, DescribesTheBundleAndTheModuleInside)
{
    for (const std::string& path : {std::string(MG_VST3_BUNDLE), std::string(MG_VST3_MODULE)}) {
        const RunResult r = RunHost({"info", path});
        ASSERT_EQ(r.exitCode, 0) << r.err;
        EXPECT_NE(r.out.find("format: VST 3\n"), std::string::npos) << r.out;
        EXPECT_NE(r.out.find("id: 2BD05BA60CD4E37A0F03BC94D5B083E7\n"), std::string::npos);
        EXPECT_NE(r.out.find("  [2] Effect = On\n"), std::string::npos);
        EXPECT_NE(r.out.find("programs: 16\n"), std::string::npos);
    }
}

TEST_F(Vst3Render, RendersAsTheVst2PluginInFourSettings)
{
    const std::vector<std::vector<std::string>> settings = {
        {},
        {"--param", "Effect=0"},
        {"--param", "Attack=1", "--param", "Cabinet=0", "--block", "64"},
        {"--param", "Level=0.25", "--param", "Attack=0.75", "--param", "Cabinet=0", "--callback", "double"},
    };
    for (const auto& setting : settings) {
        const Audio vst2 = Render(MG_VST2_MODULE, setting, "vst2.wav");
        const Audio vst3 = Render(MG_VST3_BUNDLE, setting, "vst3.wav");
        ASSERT_EQ(vst3.Frames(), vst2.Frames());
        EXPECT_EQ(MaxDifference(vst2, vst3), 0.0f) << "setting " << (&setting - settings.data());
    }
}

TEST_F(Vst3Render, StatesAreTheSameBytesInBothFormats)
{
    const Audio set = Render(MG_VST3_BUNDLE, {"--param", "Attack=0.75", "--state-out", dir_ / "vst3.state"},
                             "set.wav");
    Render(MG_VST2_MODULE, {"--param", "Attack=0.75", "--state-out", dir_ / "vst2.state"}, "vst2.wav");
    EXPECT_EQ(ReadText(dir_ / "vst3.state"), ReadText(dir_ / "vst2.state"));
    const Audio loaded = Render(MG_VST3_BUNDLE, {"--state-in", dir_ / "vst2.state"}, "loaded.wav");
    EXPECT_EQ(MaxDifference(set, loaded), 0.0f);

    std::string damaged = ReadText(dir_ / "vst2.state");
    damaged.resize(20);
    { std::ofstream(dir_ / "damaged.state", std::ios::binary) << damaged; }
    const RunResult r = RunHost({"render", MG_VST3_BUNDLE, in_, dir_ / "x.wav", "--state-in", dir_ / "damaged.state"});
    EXPECT_NE(r.exitCode, 0);
    EXPECT_NE(r.err.find("refused the state"), std::string::npos) << r.err;
}

} // namespace
} // namespace mg::hosttest
