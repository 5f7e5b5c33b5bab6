// mg-host against effects nobody here wrote: Debian's dpf-plugins-vst
// (scripts/install-test-plugins.sh). Their editors need a display, which
// the tests never give them.
#include <gtest/gtest.h>
#include <sndfile.h>

#include <algorithm>
#include <filesystem>
#include <optional>

#include "HostTestSupport.h"

namespace mg::hosttest {
namespace {

const std::string kEq = "/usr/lib/vst/3BandEQ-vst.so";          // 2 in, 2 out, gain and EQ
const std::string kCrush = "/usr/lib/vst/MaBitcrush-vst.so";    // 1 in, 2 out
const std::string kReverb = "/usr/lib/vst/MaGigaverb-vst.so";   // 2 in, 2 out, long tail
constexpr int kRate = 44100;
constexpr long long kFrames = 3 * kRate;

class HostThirdParty : public ::testing::Test {
protected:
    void SetUp() override
    {
        for (const auto& plugin : {kEq, kCrush, kReverb})
            if (!std::filesystem::exists(plugin))
                GTEST_SKIP() << plugin << " missing: run scripts/install-test-plugins.sh";
        WriteSine(mono_, 1, kRate, kFrames, SF_FORMAT_WAV | SF_FORMAT_PCM_16);
    }

    RunResult Render(const std::string& plugin, const std::string& out, std::vector<std::string> options = {},
                     const std::string& in = "")
    {
        std::vector<std::string> args{"render", plugin, in.empty() ? mono_ : in, out, "--quiet"};
        args.insert(args.end(), options.begin(), options.end());
        return RunHost(args);
    }

    TempDir dir_;
    std::string mono_ = dir_ / "sine.wav";
};

// The value after "key: " on the line that starts with it, or nothing.
std::optional<std::string> Field(const std::string& text, const std::string& key)
{
    const std::string start = "\n" + key + ": ";
    const auto at = ("\n" + text).find(start);
    if (at == std::string::npos)
        return std::nullopt;
    const auto from = at + start.size() - 1;
    return text.substr(from, text.find('\n', from) - from);
}

TEST_F(HostThirdParty, InfoListsNameAndEveryParameter)
{
    for (const auto& plugin : {kEq, kCrush}) {
        SCOPED_TRACE(plugin);
        const RunResult r = RunHost({"info", plugin});
        ASSERT_EQ(r.exitCode, 0) << r.err;
        EXPECT_EQ(r.err, "");
        ASSERT_TRUE(Field(r.out, "name"));
        EXPECT_NE(*Field(r.out, "name"), "");
        EXPECT_TRUE(Field(r.out, "inputs") && Field(r.out, "editor"));
        const auto count = Field(r.out, "parameters");
        ASSERT_TRUE(count);
        ASSERT_GT(std::stoi(*count), 0);
        // One "  [i] Name = display label" line per parameter, in order.
        auto at = r.out.find("\nparameters: ");
        for (int i = 0; i < std::stoi(*count); ++i) {
            at = r.out.find('\n', at + 1);
            const std::string line = r.out.substr(at + 1, r.out.find('\n', at + 1) - at - 1);
            const std::string head = "  [" + std::to_string(i) + "] ";
            EXPECT_EQ(line.rfind(head, 0), 0u) << line;
            EXPECT_GT(line.find(" = "), head.size()) << line;
        }
    }
    EXPECT_NE(RunHost({"info", kEq}).out.find("] Master = "), std::string::npos);
}

TEST_F(HostThirdParty, RenderKeepsLengthAndStaysFiniteInEveryCallback)
{
    for (const auto& plugin : {kEq, kCrush}) {
        for (const std::string callback : {"replacing", "accumulating"}) {
            SCOPED_TRACE(plugin + " " + callback);
            const std::string out = dir_ / "out.wav";
            const RunResult r = Render(plugin, out, {"--callback", callback});
            ASSERT_EQ(r.exitCode, 0) << r.err;
            const Audio audio = ReadAudio(out);
            EXPECT_EQ(audio.Frames(), kFrames);
            EXPECT_EQ(audio.channels, 2);
            EXPECT_EQ(audio.rate, kRate);
            EXPECT_EQ(audio.format, SF_FORMAT_WAV | SF_FORMAT_FLOAT);
            EXPECT_TRUE(AllFinite(audio));
            EXPECT_GT(Rms(audio, 0), 0.05);
        }
        // Neither offers doubles: a clear refusal, no output.
        const RunResult r = Render(plugin, dir_ / "double.wav", {"--callback", "double"});
        EXPECT_EQ(r.exitCode, 1);
        EXPECT_NE(r.err.find("effFlagsCanDoubleReplacing"), std::string::npos) << r.err;
        EXPECT_FALSE(std::filesystem::exists(dir_ / "double.wav"));
    }
}

TEST_F(HostThirdParty, ParameterByNameOrIndexChangesTheOutput)
{
    ASSERT_EQ(Render(kEq, dir_ / "plain.wav").exitCode, 0);
    const RunResult byName = Render(kEq, dir_ / "name.wav", {"--param", "Master=0.2"});
    ASSERT_EQ(byName.exitCode, 0) << byName.err;
    ASSERT_EQ(Render(kEq, dir_ / "index.wav", {"--param=3=0.2"}).exitCode, 0);
    const Audio plain = ReadAudio(dir_ / "plain.wav");
    const Audio named = ReadAudio(dir_ / "name.wav");
    EXPECT_LT(Rms(named, 0), Rms(plain, 0) * 0.5);
    EXPECT_EQ(MaxDifference(named, ReadAudio(dir_ / "index.wav")), 0.0f);
}

TEST_F(HostThirdParty, BlockSizeDoesNotChangeTheResult)
{
    // A per-sample EQ gives the same samples however the file is cut up;
    // a slip at block edges or in the last short block would show.
    ASSERT_EQ(Render(kEq, dir_ / "b512.wav", {"--param", "Low=0.8"}).exitCode, 0);
    for (const std::string block : {"100", "1", "4096"}) {
        SCOPED_TRACE(block);
        ASSERT_EQ(Render(kEq, dir_ / "b.wav", {"--param", "Low=0.8", "--block", block}).exitCode, 0);
        EXPECT_LT(MaxDifference(ReadAudio(dir_ / "b512.wav"), ReadAudio(dir_ / "b.wav")), 1e-6f);
    }
}

TEST_F(HostThirdParty, ChannelsMapInOrderAndMissingOnesAreSilent)
{
    // Mono into two inputs: the second input gets silence.
    const RunResult r = RunHost({"render", kEq, mono_, dir_ / "mono.wav"});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_NE(r.err.find("input channel 1 gets silence"), std::string::npos) << r.err;
    const Audio mono = ReadAudio(dir_ / "mono.wav");
    EXPECT_GT(Rms(mono, 0), 0.3);
    EXPECT_LT(Rms(mono, 1), 1e-6);

    // Stereo with a silent right channel: the silence stays on the right.
    const std::string stereo = dir_ / "stereo.wav";
    WriteSine(stereo, 2, kRate, kFrames, SF_FORMAT_WAV | SF_FORMAT_FLOAT, 880.0, 0.5, true);
    ASSERT_EQ(Render(kEq, dir_ / "st.wav", {}, stereo).exitCode, 0);
    const Audio st = ReadAudio(dir_ / "st.wav");
    EXPECT_NEAR(Rms(st, 0), Rms(ReadAudio(stereo), 0), 0.02);
    EXPECT_LT(Rms(st, 1), 1e-6);

    // More file channels than inputs: the rest is ignored.
    const RunResult extra = RunHost({"render", kCrush, stereo, dir_ / "crush.wav"});
    ASSERT_EQ(extra.exitCode, 0) << extra.err;
    EXPECT_NE(extra.err.find("the rest are ignored"), std::string::npos) << extra.err;
    EXPECT_EQ(ReadAudio(dir_ / "crush.wav").Frames(), kFrames);
}

TEST_F(HostThirdParty, TailRendersTheReverbOut)
{
    ASSERT_EQ(Render(kReverb, dir_ / "tail.wav", {"--tail", "1.5"}).exitCode, 0);
    const Audio audio = ReadAudio(dir_ / "tail.wav");
    EXPECT_EQ(audio.Frames(), kFrames + kRate * 3 / 2);
    EXPECT_TRUE(AllFinite(audio));
    EXPECT_GT(Rms(audio, 0, kFrames + kRate / 2, audio.Frames()), 1e-4); // the reverb still rings
}

TEST_F(HostThirdParty, OutputFormatsFollowTheExtension)
{
    const std::string flacIn = dir_ / "in.flac";
    WriteSine(flacIn, 1, 48000, 48000, SF_FORMAT_FLAC | SF_FORMAT_PCM_16);
    const struct {
        std::string name;
        std::vector<std::string> options;
        int format;
    } cases[] = {
        {"o.flac", {}, SF_FORMAT_FLAC | SF_FORMAT_PCM_24},
        {"o.aiff", {}, SF_FORMAT_AIFF | SF_FORMAT_FLOAT},
        {"o.AIF", {"--format", "pcm16"}, SF_FORMAT_AIFF | SF_FORMAT_PCM_16},
        {"o.wav", {"--format", "pcm24"}, SF_FORMAT_WAV | SF_FORMAT_PCM_24},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const RunResult r = Render(kEq, dir_ / c.name, c.options, flacIn);
        ASSERT_EQ(r.exitCode, 0) << r.err;
        const Audio audio = ReadAudio(dir_ / c.name);
        EXPECT_EQ(audio.format, c.format);
        EXPECT_EQ(audio.rate, 48000);
        EXPECT_EQ(audio.Frames(), 48000);
    }
}

TEST_F(HostThirdParty, LevelsAboveFullScaleSurviveInFloatAndClipInPcm)
{
    const RunResult asFloat = Render(kEq, dir_ / "hot.wav", {"--param", "Master=1"});
    ASSERT_EQ(asFloat.exitCode, 0) << asFloat.err;
    const Audio hot = ReadAudio(dir_ / "hot.wav");
    EXPECT_GT(*std::max_element(hot.samples.begin(), hot.samples.end()), 2.0f);

    const RunResult asPcm = RunHost({"render", kEq, mono_, dir_ / "hot16.wav", "--param", "Master=1", "--format",
                                     "pcm16"});
    ASSERT_EQ(asPcm.exitCode, 0) << asPcm.err;
    EXPECT_NE(asPcm.err.find("clipped at full scale"), std::string::npos) << asPcm.err;
    const Audio clipped = ReadAudio(dir_ / "hot16.wav");
    EXPECT_LE(*std::max_element(clipped.samples.begin(), clipped.samples.end()), 1.0f);
    EXPECT_GT(*std::max_element(clipped.samples.begin(), clipped.samples.end()), 0.99f); // clipped, not wrapped
}

} // namespace
} // namespace mg::hosttest
