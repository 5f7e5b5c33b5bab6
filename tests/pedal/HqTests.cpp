// The HQ pedal: what the alias meter finds in it, that it is the exact
// pedal's sound late by the latency it reports, and that its bypass is the
// input late by as much, however often the footswitch goes.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <memory>
#include <vector>

#include "AliasMeter.h"
#include "FuzzShaper.h"
#include "HqClipper.h"
#include "MarrowGritHQ.h"

using namespace mg;

namespace {

template <class P>
class Driven {
public:
    explicit Driven(double rate) : p_(std::make_unique<P>(nullptr))
    {
        p_->ChangeAllParameters();
        p_->StoreSampleRate(rate);
        p_->OnReset();
    }
    P* operator->() { return p_.get(); }

    void Set(int index, double normalized)
    {
        p_->ParameterAt(index)->SetFromNormalized(normalized);
        p_->OnParameterChange(index);
    }

    std::vector<double> Run(const std::vector<double>& in, int block = 512)
    {
        std::vector<double> silent(in.size()), out0(in.size()), out1(in.size());
        for (std::size_t done = 0; done < in.size(); done += static_cast<std::size_t>(block)) {
            const int n = static_cast<int>(std::min<std::size_t>(static_cast<std::size_t>(block), in.size() - done));
            double* ins[] = {const_cast<double*>(in.data()) + done, silent.data() + done};
            double* outs[] = {out0.data() + done, out1.data() + done};
            p_->ProcessBlock(ins, outs, n);
        }
        EXPECT_EQ(out0, out1);
        return out0;
    }

private:
    std::unique_ptr<P> p_;
};

template <class P>
std::vector<double> Render(double rate, const std::vector<double>& in, double attack, bool cabinet)
{
    Driven<P> pedal(rate);
    pedal.Set(MarrowGrit::kLevel, 1.0);
    pedal.Set(MarrowGrit::kAttack, attack);
    pedal.Set(MarrowGrit::kCabinet, cabinet ? 1.0 : 0.0);
    return pedal.Run(in);
}

alias::AliasReport Measure(const std::vector<double>& render, double rate, double f0)
{
    alias::AliasReport report;
    std::string error;
    EXPECT_TRUE(alias::MeasureAliasing(render, rate, f0, report, error)) << error;
    return report;
}

// Where `late` matches `early` best, by cross-correlation over lags 0 to 63.
int BestLag(const std::vector<double>& early, const std::vector<double>& late)
{
    int best = -1;
    double bestSum = -1e300;
    for (int lag = 0; lag < 64; ++lag) {
        double sum = 0.0;
        for (std::size_t i = 0; i + static_cast<std::size_t>(lag) < late.size(); ++i)
            sum += early[i] * late[i + static_cast<std::size_t>(lag)];
        if (sum > bestSum) {
            bestSum = sum;
            best = lag;
        }
    }
    return best;
}

} // namespace

TEST(HqClipper, IsThePedalsClipperAndItsMeanOverAStep)
{
    for (double u = -0.5; u <= 0.5; u += 0.0007) {
        EXPECT_NEAR(HqShaper(u), FuzzShaper(u, 1.0), 1e-15) << u;
        // Over a short step, the mean is the value in the middle.
        const double h = 1e-5;
        if (std::fabs(u) > 2 * h && std::fabs(u + 0.2) > 2 * h && std::fabs(u - kHqCorner) > 2 * h) {
            EXPECT_NEAR(HqShaperMean(u + h, u - h), HqShaper(u), 1e-9) << u;
        }
    }
}

// The figures README reports, measured as alias-meter measures a render:
// every case at least 80 dB, and the harmonics below 8 kHz those of the
// exact pedal at 16 times the rate within half a decibel.
TEST(HqAliasing, EveryCaseClearsEightyDecibels)
{
    for (double rate : {44100.0, 48000.0})
        for (double f0 : {1244.5, 3951.0})
            for (double amplitude : {0.1, 0.5}) {
                const std::vector<double> sine = alias::Sine(f0, amplitude, rate, 3.0);
                for (double attack : {0.5, 1.0})
                    for (bool cabinet : {false, true}) {
                        const auto hq = Measure(Render<MarrowGritHQ>(rate, sine, attack, cabinet), rate, f0);
                        EXPECT_GE(hq.signalToAliasDb, 80.0) << rate << " " << f0 << " " << amplitude << " " << attack
                                                            << " " << cabinet;
                        EXPECT_LE(hq.worstAliasDb, -80.0);
                    }
            }
}

TEST(HqAliasing, HarmonicsMatchTheExactPedalAtSixteenTimesTheRate)
{
    const double rate = 44100.0;
    for (double f0 : {1244.5, 3951.0}) {
        const auto hq = Measure(Render<MarrowGritHQ>(rate, alias::Sine(f0, 0.5, rate, 3.0), 1.0, true), rate, f0);
        const auto reference =
            Measure(Render<MarrowGrit>(16 * rate, alias::Sine(f0, 0.5, 16 * rate, 1.1), 1.0, true), 16 * rate, f0);
        EXPECT_LE(alias::LargestHarmonicDeviationDb(hq, reference), 0.5) << f0;
    }
}

// The exact pedal has no delay: the HQ one sounds like it late by its
// latency, at every rate. The clipper's jumps make the sharpest clicks the
// pedal can give; where they fall is where the two line up.
TEST(HqLatency, IsTheDelayOfTheClippersClicksAtEveryRate)
{
    EXPECT_EQ(Driven<MarrowGritHQ>(44100.0)->Latency(), kHqLatency);
    for (double rate : {8000.0, 44100.0, 48000.0, 96000.0, 384000.0}) {
        const std::vector<double> sine = alias::Sine(200.0, 0.5, rate, 0.1);
        const std::vector<double> exact = Render<MarrowGrit>(rate, sine, 1.0, false);
        const std::vector<double> hq = Render<MarrowGritHQ>(rate, sine, 1.0, false);
        std::vector<double> e, h;
        for (std::size_t i = sine.size() / 2; i + 1 < sine.size(); ++i) {
            e.push_back(exact[i + 1] - exact[i]);
            h.push_back(hq[i + 1] - hq[i]);
        }
        EXPECT_NEAR(BestLag(e, h), kHqLatency, 1) << rate;
    }
}

TEST(HqLatency, BypassIsTheInputAsLateWhateverTheFootswitchDoes)
{
    Driven<MarrowGritHQ> pedal(48000.0);
    std::vector<double> in(3000);
    for (std::size_t i = 0; i < in.size(); ++i) in[i] = 0.3 * std::sin(0.05 * static_cast<double>(i));
    std::vector<double> out0(in.size()), out1(in.size()), silent(in.size());
    int blocks = 0;
    for (std::size_t done = 0; done < in.size(); ++blocks) {
        const int n = 1 + blocks % 97;
        const bool bypass = blocks % 2 == 1;
        pedal.Set(MarrowGrit::kEffect, bypass ? 0.0 : 1.0);
        const int frames = static_cast<int>(std::min<std::size_t>(static_cast<std::size_t>(n), in.size() - done));
        double* ins[] = {in.data() + done, silent.data() + done};
        double* outs[] = {out0.data() + done, out1.data() + done};
        pedal->ProcessBlock(ins, outs, frames);
        for (int i = 0; i < frames; ++i) {
            const std::size_t at = done + static_cast<std::size_t>(i);
            ASSERT_TRUE(std::isfinite(out0[at]));
            if (bypass) {
                ASSERT_EQ(out0[at], at >= kHqLatency ? in[at - kHqLatency] : 0.0) << at;
            }
        }
        done += static_cast<std::size_t>(frames);
    }
}
