#pragma once
// The HQ chain's changes of rate, both linear in phase so that the whole
// chain delays every frequency alike by a whole number of the host's frames.
//
// Up: cubic Lagrange interpolation between the host's frames, at the
// middles of the faster rate's steps (so that with the clipper's half step
// the delay is a whole number of fast steps). It lets through images of the
// input near multiples of the host's rate; the chain's first two sections,
// a low-pass at 320 Hz among them, take those down by some 80 dB before
// anything reaches the clipper.
//
// Down: half-band low-pass filters, each halving the rate: a short one from
// four times the host's rate to twice, which only has to clear the top
// quarter, and a long one from twice to the host's rate.

namespace mg {

// Times the host's rate that the chain runs at: 4 up to 64 kHz, 2 above.
int HqOversampling(double sampleRate);

// Weights of the four frames x[n−3], x[n−2], x[n−1], x[n] for each of the
// `factor` outputs between x[n−2] and x[n−1].
struct HqUpsampler {
    static constexpr int kMaxFactor = 4;
    static constexpr int kHistory = 3; // frames before the first of a run
    double weights[kMaxFactor][4] = {};
    int factor = 1;

    void Design(int oversampling);
    // x points at the run's first frame with kHistory frames before it;
    // writes frames·factor outputs.
    void Run(const double* x, int frames, double* out) const;
};

// One half-band low-pass, windowed (Kaiser) sinc, applied while halving the
// rate. Its taps are odd in number, 4·kPairs + 3; every other one but the
// middle is zero, and the rest are symmetric, so each output costs
// kPairs + 1 multiplications and the middle one.
template <int kPairs>
struct HqHalfBand {
    static constexpr int kTaps = 4 * kPairs + 3;
    static constexpr int kHistory = kTaps - 1;
    static constexpr int kDelay = kTaps / 2; // at the faster rate
    double outer[kPairs + 1] = {};           // taps ±1, ±3, … from the middle

    void Design(double kaiserBeta);
    // in points at the run's first sample with kHistory before it; out[i]
    // is the filtered signal as of in[2i + phase] (phase 0 or 1), delayed by
    // kDelay samples of the faster rate.
    void Run(const double* in, int outputs, int phase, double* out) const;
};

// The two the chain uses: the short one clears 1.5 to 2 times the host's
// rate at four times it; the long one, at twice, keeps 0 to 0.4 of the
// host's rate flat within about 0.001 dB and takes 0.6 and above down by
// about 75 dB.
using HqFirstHalving = HqHalfBand<3>;
using HqLastHalving = HqHalfBand<11>;

} // namespace mg
