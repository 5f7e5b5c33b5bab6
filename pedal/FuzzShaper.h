#pragma once
// The pedal's clipper: a soft clip, half-wave rectified and limited, shifted
// down, with a step where the driven input swings far negative. Written once
// for every lane width, without branches (ordered compares, so a NaN takes
// the same way in every width); the scalar entry points below are its
// one-lane case.
#include "ChainOps.h"

namespace mg {

// Over the vector operations O (ChainOps.h), each lane on its own.
template <class O>
struct Clipper {
    using V = typename O::V;

    // Symmetric soft clip: slope 10·level at zero, flat at ±level from |a·gain| = 0.2.
    static MG_CHAIN_INLINE V SoftClip(V a, V level, V gain)
    {
        const V d = O::Mul(a, gain);
        const V m = O::Abs(d);
        const V scale = O::Mul(O::Set(10.0), level);
        const V curve = O::Mul(O::Mul(scale, d), O::Sub(O::Set(1.0), O::Div(m, O::Set(0.4))));
        const V flat = O::Select(O::Ge(d, O::Set(0.2)), O::Mul(scale, O::Set(0.1)), O::Mul(scale, O::Set(-0.1)));
        return O::Select(O::Lt(m, O::Set(0.2)), curve, flat);
    }

    // Output between −0.2 and +0.1.
    static MG_CHAIN_INLINE V Shape(V s, V g)
    {
        const V y = SoftClip(s, O::Set(0.8), g);
        const V c = O::Select(O::Lt(y, O::Set(0.0)), O::Set(0.0), O::Select(O::Lt(y, O::Set(0.3)), y, O::Set(0.3)));
        const V t = O::Select(O::Gt(O::Mul(s, g), O::Set(-0.2)), O::Set(-0.2), O::Set(0.02));
        return O::Add(c, t);
    }
};

// The one-lane entry points. Static, over a type local to each: every file
// that uses them, the kernels built for other instruction sets among them,
// keeps its own copy, and the linker never picks one compiled for a wider
// set than the caller's.

static inline double SoftClip(double a, double level, double gain)
{
    struct Tag {};
    return Clipper<chain::ScalarOps<Tag>>::SoftClip(a, level, gain);
}

static inline double FuzzShaper(double s, double g)
{
    struct Tag {};
    return Clipper<chain::ScalarOps<Tag>>::Shape(s, g);
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
