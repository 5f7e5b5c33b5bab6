#include <gtest/gtest.h>

#include <cmath>
#include <complex>
#include <cstring>
#include <numbers>
#include <limits>
#include <memory>
#include <random>
#include <vector>

#include "MarrowGrit.h"
#include "PlainStages.h"
#include "SectionDesign.h"

using namespace mg;

namespace {

// A pedal driven directly, as the binding would after the host opened it.
class Pedal {
public:
    explicit Pedal(double rate = 44100.0) : p_(std::make_unique<MarrowGrit>(nullptr))
    {
        p_->ChangeAllParameters();
        p_->StoreSampleRate(rate);
        p_->OnReset();
    }
    MarrowGrit* operator->() { return p_.get(); }
    MarrowGrit& operator*() { return *p_; }

    void Set(int index, double normalized)
    {
        p_->ParameterAt(index)->SetFromNormalized(normalized);
        p_->OnParameterChange(index);
    }

    // Processes `in0`/`in1` in blocks of `block` frames; returns output 0,
    // after checking that both outputs agree sample for sample.
    std::vector<double> Run(const std::vector<double>& in0, const std::vector<double>& in1, int block)
    {
        const int frames = static_cast<int>(in0.size());
        std::vector<double> out0(in0.size()), out1(in0.size());
        for (int done = 0; done < frames; done += block) {
            const int n = std::min(block, frames - done);
            double* ins[] = {const_cast<double*>(in0.data()) + done, const_cast<double*>(in1.data()) + done};
            double* outs[] = {out0.data() + done, out1.data() + done};
            p_->ProcessBlock(ins, outs, n);
        }
        EXPECT_EQ(std::memcmp(out0.data(), out1.data(), out0.size() * sizeof(double)), 0);
        return out0;
    }

private:
    std::unique_ptr<MarrowGrit> p_;
};

std::vector<double> Noise(int n, unsigned seed, double amplitude = 0.5)
{
    std::mt19937 gen(seed);
    std::uniform_real_distribution<double> dist(-amplitude, amplitude);
    std::vector<double> v(static_cast<std::size_t>(n));
    for (double& x : v) x = dist(gen);
    return v;
}

bool SameStates(const BiquadBank& a, const BiquadBank& b)
{
    return std::memcmp(a.x1, b.x1, sizeof a.x1) == 0 && std::memcmp(a.y1, b.y1, sizeof a.y1) == 0 &&
           std::memcmp(a.x2, b.x2, sizeof a.x2) == 0 && std::memcmp(a.y2, b.y2, sizeof a.y2) == 0;
}

} // namespace

TEST(Engine, ParametersSetTheEngineValues)
{
    Pedal p;
    EXPECT_EQ(p->OutputGain(), 2.0);
    EXPECT_EQ(p->Drive(), 2.5);
    EXPECT_TRUE(p->EffectOn());
    EXPECT_TRUE(p->CabinetOn());
    p.Set(MarrowGrit::kLevel, 1.0);
    p.Set(MarrowGrit::kAttack, 1.0);
    EXPECT_EQ(p->OutputGain(), 4.0);
    EXPECT_EQ(p->Drive(), 5.0);
    EXPECT_EQ(p->Attack(), 1.0);

    p->ParameterAt(MarrowGrit::kEffect)->set_value(2.0); // neither 0 nor 1: nothing changes
    p->OnParameterChange(MarrowGrit::kEffect);
    EXPECT_TRUE(p->EffectOn());
    p.Set(MarrowGrit::kEffect, 0.0);
    p.Set(MarrowGrit::kCabinet, 0.0);
    EXPECT_FALSE(p->EffectOn());
    EXPECT_FALSE(p->CabinetOn());
}

TEST(Engine, BypassIsTheExactSumAndTouchesNoFilter)
{
    Pedal p;
    p.Set(MarrowGrit::kEffect, 0.0);
    const auto a = Noise(300, 1), b = Noise(300, 2);
    const BiquadBank before = p->Bank();
    const auto out = p.Run(a, b, 64);
    for (std::size_t i = 0; i < a.size(); ++i) ASSERT_EQ(out[i], b[i] + a[i]);
    EXPECT_TRUE(SameStates(before, p->Bank()));
}

TEST(Engine, ZeroFramesWriteNothing)
{
    Pedal p;
    double in = 0.5, out = 7.0;
    double* ins[] = {&in, &in};
    double* outs[] = {&out, &out};
    const BiquadBank before = p->Bank();
    p->ProcessBlock(ins, outs, 0);
    EXPECT_EQ(out, 7.0);
    EXPECT_TRUE(SameStates(before, p->Bank()));
}

TEST(Engine, NoiseRestartsAtTheTableStartInEveryBlock)
{
    Pedal p;
    const std::vector<double> silence(64, 0.0);
    p.Run(silence, silence, 64);
    EXPECT_EQ(p->Bank().x1[0], p->NoiseTable()[63]) << "section 0 saw the last input: noise only";
    p.Run(silence, silence, 64);
    EXPECT_EQ(p->Bank().x1[0], p->NoiseTable()[63]);
    EXPECT_EQ(p->Bank().x2[0], p->NoiseTable()[62]);

    // A block longer than the table starts it over.
    const std::vector<double> long_silence(kNoiseTableSize + 10, 0.0);
    p.Run(long_silence, long_silence, kNoiseTableSize + 10);
    EXPECT_EQ(p->Bank().x1[0], p->NoiseTable()[9]);
}

TEST(Engine, NoiseIsATinyRandomWalkThatMovesOn)
{
    Pedal p;
    const std::vector<double> first(p->NoiseTable(), p->NoiseTable() + kNoiseTableSize);
    double largestStep = 0.0;
    for (int i = 1; i < kNoiseTableSize; ++i) largestStep = std::max(largestStep, std::fabs(first[i] - first[i - 1]));
    EXPECT_GT(largestStep, 6e-21);
    EXPECT_LT(largestStep, 1.4e-20);
    EXPECT_NE(first[0], 0.0);
    p->OnReset(); // every reset draws fresh values, also at the same rate
    EXPECT_NE(std::memcmp(first.data(), p->NoiseTable(), sizeof(double) * kNoiseTableSize), 0);
}

TEST(Engine, ResetKeepsStatesAtTheSameRateAndStartsOverAtANewOne)
{
    Pedal p;
    p.Run(Noise(512, 3), Noise(512, 4), 512);
    const BiquadBank played = p->Bank();
    p->OnReset();
    EXPECT_TRUE(SameStates(played, p->Bank())) << "no click on a reset at the same rate";
    EXPECT_EQ(std::memcmp(played.b0, p->Bank().b0, sizeof played.b0), 0);

    p->StoreSampleRate(96000.0);
    p->OnReset();
    for (int k = 0; k < BiquadBank::kSections; ++k) ASSERT_EQ(p->Bank().y1[k], 0.0);
    BiquadBank at96;
    DesignAllSections(at96, 96000.0);
    EXPECT_EQ(std::memcmp(at96.a1, p->Bank().a1, sizeof at96.a1), 0);
}

TEST(Engine, LevelZeroIsSilentWithoutTheCabinet)
{
    Pedal p;
    p.Set(MarrowGrit::kLevel, 0.0);
    p.Set(MarrowGrit::kCabinet, 0.0);
    for (double v : p.Run(Noise(256, 5), Noise(256, 6), 128)) ASSERT_EQ(v, 0.0);

    p.Set(MarrowGrit::kCabinet, 1.0); // only the cabinet's tiny offsets remain
    const auto tail = p.Run(std::vector<double>(4096, 0.0), std::vector<double>(4096, 0.0), 512);
    EXPECT_LT(std::fabs(tail.back()), 1e-17);
}

TEST(Engine, WithoutAttackTheCleanPathPassesAtFullLevel)
{
    // Drive 0: the shaper's floor of −0.2 is mixed in at half level.
    Pedal p;
    p.Set(MarrowGrit::kAttack, 0.0);
    BiquadBank& bank = const_cast<BiquadBank&>(p->Bank());
    const double x = 0.25;
    BiquadBank copy = bank;
    const double s = copy.RunSection(1, copy.RunSection(0, x));
    double e = s - 0.1;
    for (int k = kChainTopology.TailFirst(); k <= kFuzzLast; ++k) e = copy.RunSection(k, e);
    EXPECT_DOUBLE_EQ(test::FuzzStage(*p, x), 2.0 * e);
}

TEST(Engine, CabinetSwitchRunsOrHoldsTheCabinetSections)
{
    Pedal p;
    p.Set(MarrowGrit::kCabinet, 0.0);
    const BiquadBank before = p->Bank();
    const auto in = Noise(256, 7);
    const auto fuzzOnly = p.Run(in, in, 256);
    for (int k = kCabinetFirst; k <= kCabinetLast; ++k) ASSERT_EQ(p->Bank().y1[k], before.y1[k]);

    Pedal q;
    q.Set(MarrowGrit::kCabinet, 1.0);
    const auto withCabinet = q.Run(in, in, 256);
    EXPECT_NE(fuzzOnly, withCabinet);
    EXPECT_NE(q->Bank().y1[kCabinetFirst], 0.0);
}

TEST(Engine, ANonFiniteInputIsForgottenAfterItsBlock)
{
    Pedal p;
    std::vector<double> bad = Noise(64, 8);
    bad[10] = std::numeric_limits<double>::quiet_NaN();
    p.Run(bad, bad, 64);
    const auto next = p.Run(Noise(64, 9), Noise(64, 10), 64);
    for (double v : next) ASSERT_TRUE(std::isfinite(v));

    std::vector<double> inf(64, std::numeric_limits<double>::infinity());
    p.Run(inf, inf, 64);
    for (double v : p.Run(Noise(64, 11), Noise(64, 12), 64)) ASSERT_TRUE(std::isfinite(v));
}

TEST(Engine, SoundsLikeAFuzz)
{
    // A sine comes out louder in its harmonics than it went in.
    Pedal p;
    p.Set(MarrowGrit::kCabinet, 0.0);
    const int n = 44100;
    std::vector<double> sine(n);
    for (int i = 0; i < n; ++i) sine[i] = 0.2 * std::sin(2 * std::numbers::pi * 220.0 * i / 44100.0);
    const auto out = p.Run(sine, std::vector<double>(n, 0.0), 512);
    auto power = [&](double f) {
        std::complex<double> acc;
        for (int i = n / 2; i < n; ++i) acc += out[i] * std::polar(1.0, -2 * std::numbers::pi * f * i / 44100.0);
        return std::abs(acc);
    };
    EXPECT_GT(power(660.0) + power(440.0), 0.1 * power(220.0)) << "harmonics from the clipper";
    for (double v : out) ASSERT_LT(std::fabs(v), 4.0);
}
