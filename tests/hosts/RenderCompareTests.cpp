#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <numbers>

#include "Compare.h"

namespace mg::compare {
namespace {

// Two channels: a sine on each, amplitudes a0 and a1.
Audio Tones(double a0, double a1, std::int64_t frames = 48000, double rate = 48000.0)
{
    Audio audio{rate, 2, {}};
    for (std::int64_t i = 0; i < frames; ++i) {
        const double t = static_cast<double>(i) / rate;
        audio.samples.push_back(a0 * std::sin(2 * std::numbers::pi * 200.0 * t));
        audio.samples.push_back(a1 * std::sin(2 * std::numbers::pi * 300.0 * t));
    }
    return audio;
}

// Both channels carry input 1 + input 2, rounded to single precision as a
// plug-in's float output is.
Audio SumOf(const Audio& input)
{
    Audio out{input.rate, 2, {}};
    for (std::int64_t f = 0; f < input.Frames(); ++f) {
        const auto v = static_cast<float>(input.At(f, 0) + input.At(f, 1));
        out.samples.push_back(v);
        out.samples.push_back(v);
    }
    return out;
}

TEST(RenderCompare, SteadyWindowSkipsBothEndsAndNeverInverts)
{
    const Window w = SteadyWindow(48000 * 3, 48000.0, 0.5, 0.25);
    EXPECT_EQ(w.begin, 24000);
    EXPECT_EQ(w.end, 48000 * 3 - 12000);
    const Window tooShort = SteadyWindow(1000, 48000.0, 0.5, 0.25);
    EXPECT_EQ(tooShort.Length(), 0);
    EXPECT_EQ(SteadyWindow(1000, 0.0, 0.0, 0.0).Length(), 0);
}

TEST(RenderCompare, RmsOfSinesAndSilence)
{
    // Whole periods of a sine of amplitude a: RMS a/sqrt(2).
    const Audio tones = Tones(1.0, 0.5);
    const Window all{0, tones.Frames()};
    EXPECT_NEAR(RmsDb(tones, all, 0), 20 * std::log10(1.0 / std::sqrt(2.0)), 1e-6);
    EXPECT_NEAR(RmsDb(tones, all, 1), 20 * std::log10(0.5 / std::sqrt(2.0)), 1e-6);
    EXPECT_NEAR(RmsDb(tones, all), 10 * std::log10((0.5 + 0.125) / 2), 1e-6);
    // Levels above full scale stay as they are.
    EXPECT_NEAR(RmsDb(Tones(4.0, 4.0), all), 20 * std::log10(4.0 / std::sqrt(2.0)), 1e-6);

    const Audio silent = Tones(0.0, 0.0);
    EXPECT_TRUE(std::isinf(RmsDb(silent, all)));
    EXPECT_TRUE(IsSilent(silent, all, -100.0));
    EXPECT_FALSE(IsSilent(tones, all, -100.0));
    // One live channel is enough to be not silent.
    EXPECT_FALSE(IsSilent(Tones(0.0, 1e-3), all, -100.0));
    EXPECT_TRUE(std::isinf(RmsDb(tones, Window{})));
}

TEST(RenderCompare, SilenceIgnoresATransientBeforeTheWindow)
{
    Audio audio = Tones(0.0, 0.0);
    audio.samples[0] = 0.9;
    audio.samples[1] = -0.9;
    EXPECT_FALSE(IsSilent(audio, Window{0, audio.Frames()}, -100.0));
    EXPECT_TRUE(IsSilent(audio, SteadyWindow(audio.Frames(), audio.rate, 0.5, 0.25), -100.0));
}

TEST(RenderCompare, IdentityNeedsEverySampleAndTheSameChannels)
{
    const Audio a = Tones(0.7, 0.5);
    Audio b = a;
    const Window all{0, a.Frames()};
    EXPECT_TRUE(IsIdentical(a, b, all, 1e-7));
    b.samples[b.samples.size() / 2] += 1e-3;
    EXPECT_FALSE(IsIdentical(a, b, all, 1e-7));
    EXPECT_TRUE(IsIdentical(a, b, Window{0, 100}, 1e-7));
    Audio mono{a.rate, 1, std::vector<double>(static_cast<std::size_t>(a.Frames()), 0.0)};
    EXPECT_FALSE(IsIdentical(a, mono, all, 1e-7));
    EXPECT_FALSE(IsIdentical(a, a, Window{}, 1e-7));
}

TEST(RenderCompare, SumOfInputsAcceptsFloatRoundingAboveFullScale)
{
    // Peaks near 1.2: a host or file that clips at full scale fails.
    const Audio input = Tones(0.7, 0.5);
    const Window all{0, input.Frames()};
    const SumCheck check = CheckSumOfInputs(input, SumOf(input), all);
    EXPECT_TRUE(check.ok) << check.mismatches << " mismatches";
    EXPECT_TRUE(check.problem.empty());

    Audio clipped = SumOf(input);
    for (double& v : clipped.samples) v = std::clamp(v, -1.0, 1.0);
    EXPECT_FALSE(CheckSumOfInputs(input, clipped, all).ok);
}

TEST(RenderCompare, SumOfInputsCatchesTheUsualWrongOutputs)
{
    const Audio input = Tones(0.7, 0.5);
    const Window all{0, input.Frames()};

    // The dry input passed through, one input only, or a small gain change.
    EXPECT_FALSE(CheckSumOfInputs(input, input, all).ok);
    Audio firstOnly{input.rate, 2, {}};
    for (std::int64_t f = 0; f < input.Frames(); ++f) {
        firstOnly.samples.push_back(input.At(f, 0));
        firstOnly.samples.push_back(input.At(f, 0));
    }
    EXPECT_FALSE(CheckSumOfInputs(input, firstOnly, all).ok);
    Audio louder = SumOf(input);
    for (double& v : louder.samples) v *= 1.0001;
    EXPECT_FALSE(CheckSumOfInputs(input, louder, all).ok);

    // A render one frame late: the first mismatch is reported where it is.
    Audio late = SumOf(input);
    late.samples.insert(late.samples.begin(), {0.0, 0.0});
    late.samples.resize(input.samples.size());
    const SumCheck check = CheckSumOfInputs(input, late, all);
    EXPECT_FALSE(check.ok);
    EXPECT_EQ(check.firstFrame, 1);
    EXPECT_EQ(check.firstChannel, 0);

    Audio nan = SumOf(input);
    nan.samples[1000] = std::numeric_limits<double>::quiet_NaN();
    EXPECT_FALSE(CheckSumOfInputs(input, nan, all).ok);
}

TEST(RenderCompare, SumOfInputsRefusesWhatItCannotCheck)
{
    const Audio input = Tones(0.7, 0.5);
    Audio mono{input.rate, 1, std::vector<double>(100, 0.0)};
    EXPECT_FALSE(CheckSumOfInputs(mono, input, Window{0, 100}).problem.empty());
    EXPECT_FALSE(CheckSumOfInputs(input, input, Window{}).problem.empty());
}

TEST(RenderCompare, PeakDifference)
{
    const Audio a = Tones(0.7, 0.5);
    Audio b = a;
    const Window all{0, a.Frames()};
    EXPECT_TRUE(std::isinf(PeakDifferenceDb(a, b, all)) && PeakDifferenceDb(a, b, all) < 0);
    b.samples[501] += 0.01;
    EXPECT_NEAR(PeakDifferenceDb(a, b, all), -40.0, 1e-6);
    EXPECT_LT(PeakDifferenceDb(a, b, Window{300, all.end}), -39.0);
    EXPECT_TRUE(std::isinf(PeakDifferenceDb(a, b, Window{251, all.end}))); // frame 250 is before
    b.samples[7] = std::numeric_limits<double>::quiet_NaN();
    EXPECT_GT(PeakDifferenceDb(a, b, all), 0.0);
}

TEST(RenderCompare, FileChoiceTakesOnlyATrailingChannelRange)
{
    auto check = [](const std::string& text, const std::string& path, int first, int count) {
        const FileChoice c = ParseFileChoice(text);
        EXPECT_EQ(c.path, path) << text;
        EXPECT_EQ(c.first, first) << text;
        EXPECT_EQ(c.count, count) << text;
    };
    check("render.wav", "render.wav", 0, -1);
    check("render.wav:3-4", "render.wav", 2, 2);
    check("render.wav:2", "render.wav", 1, 1);
    check("/a:b/render.wav:1-2", "/a:b/render.wav", 0, 2);
    // Not a range: the whole text is the path.
    check("render.wav:4-3", "render.wav:4-3", 0, -1);
    check("render.wav:0", "render.wav:0", 0, -1);
    check("render.wav:-1", "render.wav:-1", 0, -1);
    check("render.wav:1-2x", "render.wav:1-2x", 0, -1);
    check("c:render.wav", "c:render.wav", 0, -1);
    check(":3", ":3", 0, -1);
}

TEST(RenderCompare, SelectChannels)
{
    Audio four{48000.0, 4, {}};
    for (int f = 0; f < 3; ++f) {
        for (int c = 0; c < 4; ++c) four.samples.push_back(10.0 * f + c);
    }
    const Audio right = SelectChannels(four, 2, 2);
    ASSERT_EQ(right.channels, 2);
    EXPECT_EQ(right.Frames(), 3);
    EXPECT_EQ(right.At(2, 0), 22.0);
    EXPECT_EQ(right.At(2, 1), 23.0);
    EXPECT_EQ(SelectChannels(four, 1, -1).channels, 3);
    EXPECT_EQ(SelectChannels(four, 0, -1).samples, four.samples);
    EXPECT_EQ(SelectChannels(four, 3, 2).channels, 0);
    EXPECT_EQ(SelectChannels(four, -1, 1).channels, 0);
}

TEST(RenderCompare, FormatDb)
{
    EXPECT_EQ(FormatDb(-3.14159), "-3.142");
    EXPECT_EQ(FormatDb(0.04, 2), "0.04");
    EXPECT_EQ(FormatDb(-std::numeric_limits<double>::infinity()), "-inf");
    EXPECT_EQ(FormatDb(std::numeric_limits<double>::infinity()), "inf");
}

} // namespace
} // namespace mg::compare
