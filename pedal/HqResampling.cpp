#include "HqResampling.h"

#include <cmath>
#include <numbers>

namespace mg {

int HqOversampling(double sampleRate) { return sampleRate <= 64000.0 ? 4 : 2; }

void HqUpsampler::Design(int oversampling)
{
    factor = oversampling;
    for (int p = 0; p < factor; ++p) {
        // Lagrange's cubic through the points at −1, 0, 1 and 2, at t.
        const double t = (p + 0.5) / factor;
        weights[p][0] = -t * (t - 1.0) * (t - 2.0) / 6.0;
        weights[p][1] = (t + 1.0) * (t - 1.0) * (t - 2.0) / 2.0;
        weights[p][2] = -(t + 1.0) * t * (t - 2.0) / 2.0;
        weights[p][3] = (t + 1.0) * t * (t - 1.0) / 6.0;
    }
}

void HqUpsampler::Run(const double* x, int frames, double* out) const
{
    for (int n = 0; n < frames; ++n) {
        const double x0 = x[n - 3], x1 = x[n - 2], x2 = x[n - 1], x3 = x[n];
        for (int p = 0; p < factor; ++p) {
            const double* w = weights[p];
            *out++ = ((w[0] * x0 + w[1] * x1) + w[2] * x2) + w[3] * x3;
        }
    }
}

namespace {

// I0, the Kaiser window's Bessel function, from its power series
// Σ ((x/2)^k / k!)^2. The standard library's cyl_bessel_i goes through
// lgamma, which writes the C library's global signgam: two instances
// designing their filters on two threads would race on it.
double BesselI0(double x)
{
    const double quarterSquare = 0.25 * x * x;
    double term = 1.0, sum = 1.0;
    for (int k = 1; term > 1e-17 * sum; ++k) {
        term *= quarterSquare / (static_cast<double>(k) * k);
        sum += term;
    }
    return sum;
}

} // namespace

template <int kPairs>
void HqHalfBand<kPairs>::Design(double kaiserBeta)
{
    constexpr int kHalf = kTaps / 2;
    const double norm = BesselI0(kaiserBeta);
    double sum = 0.0;
    for (int j = 0; j <= kPairs; ++j) {
        const int n = 2 * j + 1;
        const double r = static_cast<double>(n) / kHalf;
        const double window = BesselI0(kaiserBeta * std::sqrt(1.0 - r * r)) / norm;
        outer[j] = std::sin(std::numbers::pi * n / 2.0) / (std::numbers::pi * n) * window;
        sum += outer[j];
    }
    // A half-band filter passes 0 Hz at 1 when its outer taps add up to 1/4
    // on either side of the middle one, 1/2.
    for (double& tap : outer) tap *= 0.25 / sum;
}

template <int kPairs>
void HqHalfBand<kPairs>::Run(const double* in, int outputs, int phase, double* out) const
{
    for (int i = 0; i < outputs; ++i) {
        const double* middle = in + 2 * i + phase - kDelay;
        double acc = 0.5 * middle[0];
        for (int j = 0; j <= kPairs; ++j) acc += outer[j] * (middle[2 * j + 1] + middle[-2 * j - 1]);
        out[i] = acc;
    }
}

template struct HqHalfBand<3>;
template struct HqHalfBand<11>;

} // namespace mg
