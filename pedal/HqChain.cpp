#include "HqChain.h"

#include <algorithm>
#include <cmath>
#include <iterator>
#include <numbers>

#include "FuzzShaper.h"
#include "HqClipper.h"
#include "NoiseTable.h"
#include "SectionDesign.h"

namespace mg {

namespace {

// The sections after the clipper run through the chain's own kernels. A
// kernel given sections 0 and 1 that pass their input, no drive and Attack
// 0 computes tail(x − 0.1): its clipper gives −0.2 whatever comes, and the
// mix at Attack 0 takes the clean signal whole and half the clipped one. So
// the HQ chain hands it its mixed signal plus 0.1.
constexpr double kTailOffset = 0.1;

// What the kernel reads for its second input and its noise: silence.
alignas(64) double silence[2 * HqChain::kSlice];

// Window of the half-band filters: about 75 dB down outside their pass band.
constexpr double kKaiserBeta = 7.3;

// Below this the HQ pedal's response follows the exact pedal's design at a
// high rate.
constexpr double kMatchedHz = 8000.0;

void PassThrough(BiquadBank& bank, int k)
{
    bank.b0[k] = 1.0;
    bank.b1[k] = bank.b2[k] = bank.a1[k] = bank.a2[k] = 0.0;
}

} // namespace

void HqChain::Reset(double sampleRate)
{
    if (designedRate == sampleRate) return;
    designedRate = sampleRate;
    factor = HqOversampling(sampleRate);
    up.Design(factor);
    firstHalving.Design(kKaiserBeta);
    lastHalving.Design(kKaiserBeta);
    // Delay in fast samples: the interpolation's 2·factor − 1/2 and the
    // clipper's 1/2, then each halving's middle tap, counted at the fast rate.
    int delay = 2 * factor + (factor / 2) * HqLastHalving::kDelay;
    if (factor == 4) delay += HqFirstHalving::kDelay;
    // Taking the output at fast sample `phase` of every group of `factor`
    // leaves a whole number of frames.
    const int phase = delay % factor;
    firstPhase = factor == 4 ? phase % 2 : 0;
    lastPhase = factor == 4 ? phase / 2 : phase;
    padding = kLatency - (delay - phase) / factor;

    head.ClearBank();
    tail.ClearBank();
    DesignAllSections(head, sampleRate * factor);
    DesignAllSections(tail, sampleRate * 2.0);
    for (int k = kChainTopology.TailFirst(); k <= kCabinetLast; ++k) {
        // The high shelves' corners lie near half the tail's rate, where a
        // design for that rate squeezes the frequency scale: matched at the
        // corner, a shelf cuts too little below it. Matched instead at the
        // top of the band that must sound alike, it cuts there as the
        // pedal's design at a high rate does.
        // (At low host rates the band reaches half the tail's rate, and the
        // design stays as it is.)
        SectionPlan plan = kSectionPlans[k];
        const double rate = sampleRate * 2.0;
        if (plan.type != SectionType::HighShelf || plan.frequency <= kMatchedHz || kMatchedHz > 0.4 * rate) continue;
        plan.frequency = rate / std::numbers::pi *
                         std::atan(std::tan(std::numbers::pi * kMatchedHz / rate) * plan.frequency / kMatchedHz);
        DesignSection(tail, k, plan, rate);
    }
    for (int k = kFuzzFirst; k < kChainTopology.TailFirst(); ++k) PassThrough(tail, k);
    ClearStates();
    std::fill(std::begin(dry), std::end(dry), 0.0);
}

void HqChain::ClearStates()
{
    head.ClearStates();
    tail.ClearStates();
    std::fill(std::begin(x), std::end(x), 0.0);
    std::fill(std::begin(mixed), std::end(mixed), 0.0);
    std::fill(std::begin(chainOut), std::end(chainOut), 0.0);
    clean[0] = 0.0;
}

// A sample that is no number is taken as silence: held in the delay line it
// would otherwise come out in a later block, whose own input is sound.
void HqChain::TakeDry(const double* in0, const double* in1, int frames)
{
    for (int i = 0; i < frames; ++i) {
        const double v = in1[i] + in0[i];
        dry[kLatency + i] = v - v == 0.0 ? v : 0.0;
    }
}

void HqChain::ShiftDry(int frames) { std::copy(dry + frames, dry + frames + kLatency, dry); }

void HqChain::Bypass(const double* in0, const double* in1, double* out0, double* out1, int frames)
{
    for (int start = 0; start < frames; start += kSlice) {
        const int n = std::min(kSlice, frames - start);
        TakeDry(in0 + start, in1 + start, n);
        for (int i = 0; i < n; ++i) {
            out1[start + i] = dry[i];
            out0[start + i] = dry[i];
        }
        ShiftDry(n);
    }
}

void HqChain::Process(const ChainKernels& kernels, const double* in0, const double* in1, double* out0, double* out1,
                      int frames, const double* noise, const Settings& settings)
{
    for (int start = 0; start < frames; start += kSlice) {
        const int n = std::min(kSlice, frames - start);
        TakeDry(in0 + start, in1 + start, n);
        ProcessSlice(kernels, dry + kLatency - padding, out0 + start, out1 + start, n, noise, start, settings);
        ShiftDry(n);
    }
}

// Sections 0 and 1 as RunSection steps them, the terms summed in another
// order: with the last output's term last, each step waits one
// multiplication and one subtraction for the step before.
void HqChain::Head(int fastFrames)
{
    static_assert(kChainTopology.TailFirst() == 2, "the head is two sections");
    struct Section {
        double b0, b1, b2, a1, a2, x1, x2, y1, y2;
        MG_CHAIN_INLINE double Step(double in)
        {
            const double y = (((b0 * in + b1 * x1) + b2 * x2) - a2 * y2) - a1 * y1;
            x2 = x1;
            x1 = in;
            y2 = y1;
            y1 = y;
            return y + BiquadBank::kDenormalOffset;
        }
    };
    BiquadBank& b = head;
    auto load = [&](int k) { return Section{b.b0[k], b.b1[k], b.b2[k], b.a1[k], b.a2[k], b.x1[k], b.x2[k], b.y1[k], b.y2[k]}; };
    auto store = [&](int k, const Section& s) {
        b.x1[k] = s.x1;
        b.x2[k] = s.x2;
        b.y1[k] = s.y1;
        b.y2[k] = s.y2;
    };
    Section first = load(0);
    Section second = load(1);
    double* const s = clean + 1;
    // One loop for both, so that the processor overlaps the second section's
    // step with the first one's next.
    for (int i = 0; i < fastFrames; ++i) s[i] = second.Step(first.Step(s[i]));
    store(0, first);
    store(1, second);
}

// The clipper and the mix as their means over each step (HqClipper.h), in
// passes without a branch the compiler cannot turn into selects.
void HqChain::ClipAndMix(int fastFrames, const Settings& settings)
{
    const double drive = settings.drive;
    for (int i = 0; i <= fastFrames; ++i) {
        driven[i] = clean[i] * drive;
        integral[i] = HqShaperIntegral(driven[i]);
    }
    const CleanClippedMix mix = MixFor(settings.attack);
    double* const out = mixed + HqFirstHalving::kHistory;
    for (int i = 0; i < fastFrames; ++i) {
        const double step = driven[i + 1] - driven[i];
        const double flat = HqShaper(0.5 * (driven[i + 1] + driven[i]));
        const double slope = (integral[i + 1] - integral[i]) / (std::fabs(step) < kHqFlatStep ? 1.0 : step);
        const double w = std::fabs(step) < kHqFlatStep ? flat : slope;
        out[i] = ((clean[i + 1] + clean[i]) * mix.clean + mix.clipped * w) + kTailOffset;
    }
}

void HqChain::ProcessSlice(const ChainKernels& kernels, const double* input, double* out0, double* out1, int frames,
                           const double* noise, int noiseStart, const Settings& settings)
{
    double* const xs = x + HqUpsampler::kHistory;
    for (int i = 0; i < frames; ++i) xs[i] = input[i] + noise[(noiseStart + i) % kNoiseTableSize];
    const int fastFrames = frames * factor;
    up.Run(xs, frames, clean + 1);
    Head(fastFrames);
    ClipAndMix(fastFrames, settings);

    // To twice the host's rate, through the sections after the clipper, and
    // down to the host's rate.
    double* const mixedFresh = mixed + HqFirstHalving::kHistory;
    const int tailFrames = 2 * frames;
    const double* tailInput = mixedFresh;
    if (factor == 4) {
        firstHalving.Run(mixedFresh, tailFrames, firstPhase, tailIn);
        tailInput = tailIn;
    }
    double* const chainFresh = chainOut + HqLastHalving::kHistory;
    // Both outputs of the kernel into one buffer: it writes the same value to each.
    const ChainBlock block{&tail, tailInput, silence, chainFresh, chainFresh, tailFrames, silence,
                           0.0,   0.0,       settings.outputGain};
    const bool ran = (settings.cabinet ? kernels.fuzzCabinet : kernels.fuzz)(block);
    lastHalving.Run(chainFresh, frames, lastPhase, out0);
    for (int i = 0; i < frames; ++i) out1[i] = out0[i]; // the host may hand the same buffer twice

    // A non-finite sample would leave the recursive sections and the
    // filters' histories broken for good: start them over, as the exact chain does.
    const bool finite = ran && head.StatesFinite(kChainTopology.TailFirst()) &&
                        (settings.cabinet || tail.StatesFinite(kCabinetFirst, kCabinetLast + 1));
    if (!finite) {
        ClearStates();
        return;
    }
    std::copy(xs + frames - HqUpsampler::kHistory, xs + frames, x);
    clean[0] = clean[fastFrames];
    std::copy(mixedFresh + fastFrames - HqFirstHalving::kHistory, mixedFresh + fastFrames, mixed);
    std::copy(chainFresh + tailFrames - HqLastHalving::kHistory, chainFresh + tailFrames, chainOut);
}

} // namespace mg
