// Every kernel of the effect chain against the plain chain: the same samples
// and the same filter states, bit for bit, block after block.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>
#include <memory>
#include <ostream>
#include <random>
#include <string>
#include <vector>

#include "MarrowGrit.h"
#include "PlainChain.h"
#include "PlainStages.h"

using namespace mg;

namespace {

using Signal = std::vector<double>;

Signal Noise(int n, unsigned seed, double amplitude)
{
    std::mt19937 gen(seed);
    std::uniform_real_distribution<double> dist(-amplitude, amplitude);
    Signal v(static_cast<std::size_t>(n));
    for (double& x : v) x = dist(gen);
    return v;
}

Signal Square(int n, int period, double amplitude)
{
    Signal v(static_cast<std::size_t>(n));
    for (int i = 0; i < n; ++i) v[static_cast<std::size_t>(i)] = (i / (period / 2)) % 2 ? -amplitude : amplitude;
    return v;
}

bool Same(double a, double b)
{
    return std::memcmp(&a, &b, sizeof a) == 0 || (std::isnan(a) && std::isnan(b));
}

// The pedal with one kernel forced, next to the plain chain taken from it.
class Twins {
public:
    Twins(ChainIsa isa, double rate) : pedal_(std::make_unique<MarrowGrit>(nullptr))
    {
        EXPECT_EQ(pedal_->ActiveChainIsa(), BestChainIsa());
        EXPECT_TRUE(pedal_->SetChainIsa(isa));
        pedal_->ChangeAllParameters();
        SetRate(rate);
    }

    void Set(int index, double normalized)
    {
        pedal_->ParameterAt(index)->SetFromNormalized(normalized);
        pedal_->OnParameterChange(index);
        plain_ = std::make_unique<bench::PlainChain>(*pedal_);
    }

    void SetRate(double rate)
    {
        pedal_->StoreSampleRate(rate);
        pedal_->OnReset();
        plain_ = std::make_unique<bench::PlainChain>(*pedal_);
    }

    // Runs both over `in0`/`in1` in blocks of `block` frames and expects the
    // same outputs and states; the pedal works in place when asked.
    void Run(const Signal& in0, const Signal& in1, int block, bool inPlace = false)
    {
        const int frames = static_cast<int>(in0.size());
        Signal pedal0 = in0, pedal1 = in1, plain0(in0.size()), plain1(in0.size());
        Signal out0(in0.size()), out1(in0.size());
        const bool cabinet = pedal_->CabinetOn();
        for (int done = 0; done < frames; done += block) {
            const int n = std::min(block, frames - done);
            double* ins[] = {pedal0.data() + done, pedal1.data() + done};
            double* outs[] = {out0.data() + done, out1.data() + done};
            pedal_->ProcessBlock(ins, inPlace ? ins : outs, n);
            plain_->Process(in0.data() + done, in1.data() + done, plain0.data() + done, plain1.data() + done, n,
                            cabinet);
        }
        const Signal& got0 = inPlace ? pedal0 : out0;
        const Signal& got1 = inPlace ? pedal1 : out1;
        for (int i = 0; i < frames; ++i) {
            const auto k = static_cast<std::size_t>(i);
            ASSERT_TRUE(Same(got0[k], plain0[k]) && Same(got1[k], plain1[k]))
                << "frame " << i << " of " << frames << " in blocks of " << block << ": " << got0[k] << " / "
                << got1[k] << " instead of " << plain0[k];
        }
        ExpectSameStates();
    }

    void ExpectSameStates() const
    {
        const BiquadBank& a = pedal_->Bank();
        const BiquadBank& b = plain_->Bank();
        for (int k = 0; k < BiquadBank::kSections; ++k)
            ASSERT_TRUE(Same(a.x1[k], b.x1[k]) && Same(a.x2[k], b.x2[k]) && Same(a.y1[k], b.y1[k]) &&
                        Same(a.y2[k], b.y2[k]))
                << "section " << k;
    }

    MarrowGrit& Pedal() { return *pedal_; }

private:
    std::unique_ptr<MarrowGrit> pedal_;
    std::unique_ptr<bench::PlainChain> plain_;
};

class EveryKernel : public ::testing::TestWithParam<ChainIsa> {
protected:
    void SetUp() override
    {
        if (!ChainIsaAvailable(GetParam())) GTEST_SKIP() << ChainIsaName(GetParam()) << " not available here";
    }
};

} // namespace

namespace mg {
void PrintTo(ChainIsa isa, std::ostream* os) { *os << ChainIsaName(isa); }
} // namespace mg

TEST(ChainKernels, TheWidestAvailableIsTheDefault)
{
    EXPECT_TRUE(ChainIsaAvailable(ChainIsa::Scalar));
    EXPECT_TRUE(ChainIsaAvailable(BestChainIsa()));
    MarrowGrit pedal(nullptr);
    EXPECT_EQ(pedal.ActiveChainIsa(), BestChainIsa());
    for (ChainIsa isa : kChainIsas) {
        EXPECT_EQ(ChainKernelsFor(isa) != nullptr, ChainIsaAvailable(isa)) << ChainIsaName(isa);
        if (!ChainIsaAvailable(isa)) {
            EXPECT_FALSE(pedal.SetChainIsa(isa));
            EXPECT_EQ(pedal.ActiveChainIsa(), BestChainIsa()) << "an unavailable set changes nothing";
        }
    }
#if defined(__x86_64__)
    EXPECT_TRUE(ChainIsaAvailable(ChainIsa::Sse2));
#endif
}

TEST_P(EveryKernel, NoiseInBlocksOfEveryLengthAroundThePipelineDepth)
{
    // The tail is 10 or 20 sections deep (ChainTopology.h), and the kernels
    // change how they work at a few block lengths that depend on the vector
    // width: blocks shorter than, equal to and longer than each, and lengths
    // that leave a remainder.
    const Signal a = Noise(1500, 1, 0.6), b = Noise(1500, 2, 0.6);
    for (double cabinet : {0.0, 1.0}) {
        Twins t(GetParam(), 44100.0);
        t.Set(MarrowGrit::kCabinet, cabinet);
        for (int block :
             {1, 2, 3, 7, 9, 10, 11, 14, 15, 16, 17, 18, 19, 20, 21, 22, 25, 26, 27, 28, 29, 33, 36, 37, 64, 100, 127, 512}) {
            SCOPED_TRACE("cabinet " + std::to_string(cabinet) + ", block " + std::to_string(block));
            t.Run(a, b, block);
        }
    }
}

TEST_P(EveryKernel, SilenceAndLoudSquares)
{
    Twins t(GetParam(), 44100.0);
    const Signal silence(6000, 0.0);
    t.Run(silence, silence, 64); // the noise and the offsets alone
    t.Run(silence, silence, 4096);
    for (double amplitude : {0.05, 1.0, 30.0}) {
        t.Run(Square(3000, 200, amplitude), Square(3000, 90, amplitude), 256);
        t.Set(MarrowGrit::kCabinet, 0.0);
        t.Run(Square(3000, 44, amplitude), Square(3000, 200, -amplitude), 100);
        t.Set(MarrowGrit::kCabinet, 1.0);
    }
}

TEST_P(EveryKernel, AcrossSampleRateChangesAndSettings)
{
    Twins t(GetParam(), 44100.0);
    const Signal a = Noise(800, 3, 0.9), b = Noise(800, 4, 0.2);
    // 22050 puts two shelves above Nyquist: other coefficients entirely.
    for (double rate : {96000.0, 48000.0, 22050.0, 192000.0, 44100.0}) {
        SCOPED_TRACE(rate);
        t.Run(a, b, 128);
        t.SetRate(rate);
        t.Run(a, b, 77);
        t.Set(MarrowGrit::kAttack, 0.0);
        t.Run(a, b, 32);
        t.Set(MarrowGrit::kAttack, 1.0);
        t.Set(MarrowGrit::kLevel, 0.0);
        t.Run(b, a, 45);
        t.Set(MarrowGrit::kLevel, 0.8);
        t.Set(MarrowGrit::kCabinet, 0.0);
        t.Run(b, a, 13);
        t.Set(MarrowGrit::kCabinet, 1.0); // resumes from the states it held
        t.Run(a, a, 64);
    }
}

TEST_P(EveryKernel, InPlaceAndLongerThanTheNoiseTable)
{
    Twins t(GetParam(), 44100.0);
    const Signal a = Noise(kNoiseTableSize + 50, 5, 0.4), b = Noise(kNoiseTableSize + 50, 6, 0.4);
    t.Run(a, b, kNoiseTableSize + 50);
    t.Run(a, b, 1000, true);
}

TEST_P(EveryKernel, NonFiniteInputIsClearedAlike)
{
    Twins t(GetParam(), 44100.0);
    Signal a = Noise(300, 7, 0.5);
    a[150] = std::numeric_limits<double>::quiet_NaN();
    t.Run(a, a, 300);
    a[150] = std::numeric_limits<double>::infinity();
    t.Run(a, Noise(300, 8, 0.5), 64);
    t.Run(Noise(300, 9, 0.5), Noise(300, 10, 0.5), 64);
}

TEST(ChainKernels, ANonFiniteCabinetStateIsClearedWhileTheCabinetIsOff)
{
    MarrowGrit pedal(nullptr);
    pedal.ChangeAllParameters();
    pedal.StoreSampleRate(44100.0);
    pedal.OnReset();
    pedal.ParameterAt(MarrowGrit::kCabinet)->SetFromNormalized(0.0);
    pedal.OnParameterChange(MarrowGrit::kCabinet);
    test::CabinetStage(pedal, std::numeric_limits<double>::quiet_NaN());
    std::vector<double> in(64, 0.1), out0(64), out1(64);
    double* ins[] = {in.data(), in.data()};
    double* outs[] = {out0.data(), out1.data()};
    pedal.ProcessBlock(ins, outs, 64);
    for (int k = 0; k < BiquadBank::kSections; ++k) ASSERT_EQ(pedal.Bank().y1[k], 0.0) << k;
}

INSTANTIATE_TEST_SUITE_P(Isa, EveryKernel, ::testing::ValuesIn(kChainIsas),
                         [](const ::testing::TestParamInfo<ChainIsa>& param) {
                             return std::string(ChainIsaName(param.param));
                         });
