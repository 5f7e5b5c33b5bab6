#pragma once
// The pedal's clipper and clean/clipped mix, band-limited for the HQ chain by
// their antiderivative: each output is the mix's mean over the straight line
// from the previous input to this one, rather than its value at one point.
// That mean turns the clipper's jump into a ramp one sample long and rounds
// its corners, so what lies above half the running rate is far weaker and
// folds back far less. It delays by half a sample and, on the clean part,
// averages two neighbours.
#include <cmath>

namespace mg {

// The clipper (FuzzShaper.h) as a function of the driven input u = s·drive:
//   u ≤ −0.2: 0.02;  −0.2 < u < 0: −0.2;  0 ≤ u < kHqCorner: 8u − 20u² − 0.2;  u ≥ kHqCorner: 0.1.
// kHqCorner is where the soft clip 8u − 20u² reaches the limit 0.3.
inline constexpr double kHqCorner = 0.041886116991581; // (1 − √0.625) / 5

// Both written as choices among values all computed, which the compiler
// turns into vector selects.
static inline double HqShaper(double u)
{
    const double rising = u >= kHqCorner ? 0.1 : u * (8.0 - 20.0 * u) - 0.2;
    const double falling = u > -0.2 ? -0.2 : 0.02;
    return u >= 0.0 ? rising : falling;
}

// Its antiderivative, 0 at u = 0.
static inline double HqShaperIntegral(double u)
{
    constexpr double kAtCorner = kHqCorner * kHqCorner * (4.0 - kHqCorner * 20.0 / 3.0) - 0.2 * kHqCorner;
    const double rising = u >= kHqCorner ? kAtCorner + 0.1 * (u - kHqCorner) : u * u * (4.0 - u * 20.0 / 3.0) - 0.2 * u;
    const double falling = u > -0.2 ? -0.2 * u : 0.04 + 0.02 * (u + 0.2);
    return u >= 0.0 ? rising : falling;
}

// The clipper's mean over u from `previous` to `u`. Below this step the
// difference of the antiderivative loses its digits, and the value at the
// midpoint is as good.
inline constexpr double kHqFlatStep = 1e-7;

static inline double HqShaperMean(double u, double previous)
{
    const double step = u - previous;
    if (std::fabs(step) < kHqFlatStep) return HqShaper(0.5 * (u + previous));
    return (HqShaperIntegral(u) - HqShaperIntegral(previous)) / step;
}

} // namespace mg
