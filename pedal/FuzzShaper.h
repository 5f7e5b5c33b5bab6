#pragma once
// The pedal's clipper: a soft clip, half-wave rectified and limited, shifted
// down, with a step where the driven input swings far negative.
#include <cmath>

namespace mg {

// Both are static: every file that uses them, the kernels built for other
// instruction sets among them, keeps its own copy, and the linker never
// picks one compiled for a wider set than the caller's.

// Symmetric soft clip: slope 10·level at zero, flat at ±level from |a·gain| = 0.2.
static inline double SoftClip(double a, double level, double gain)
{
    const double d = a * gain;
    const double m = std::fabs(d);
    if (m < 0.2) return 10.0 * level * d * (1.0 - m / 0.4);
    return d >= 0.2 ? 10.0 * level * 0.1 : 10.0 * level * -0.1;
}

// Output between −0.2 and +0.1.
static inline double FuzzShaper(double s, double g)
{
    const double y = SoftClip(s, 0.8, g);
    const double c = y < 0.0 ? 0.0 : (y < 0.3 ? y : 0.3);
    const double t = (s * g > -0.2) ? -0.2 : 0.02;
    return c + t;
}

// How much of the filtered clean signal s and of the clipped one w go on:
// s·2·clean + clipped·w. With attack from 0 to 1 that is s·(1 − attack) +
// w·(0.5 + attack/2); other values are held to the ends.
struct CleanClippedMix {
    double clean;
    double clipped;
};

static inline CleanClippedMix MixFor(double attack)
{
    double d = attack * 0.5;
    d = d < -0.5 ? -0.5 : (d > 0.5 ? 0.5 : d);
    return {0.5 - d, d + 0.5};
}

} // namespace mg
