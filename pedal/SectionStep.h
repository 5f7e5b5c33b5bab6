#pragma once
// One direct-form-I step of a second-order section, written once for every
// width: one section in a double, or as many sections as a vector has lanes,
// side by side. Every path of the effect chain but the plain one of the
// benchmarks (their independent witness) steps its sections through this.
#include "ChainInline.h"

namespace mg {

// Double arithmetic for the step of one section at a time. A template over a
// tag so that each kernel file, compiled for its own instruction set, keeps
// its own copy.
template <class Tag>
struct DoubleArithmetic {
    using V = double;
    static MG_CHAIN_INLINE V Add(V a, V b) { return a + b; }
    static MG_CHAIN_INLINE V Sub(V a, V b) { return a - b; }
    static MG_CHAIN_INLINE V Mul(V a, V b) { return a * b; }
};

// The state takes every new value: the section has a frame in every lane.
template <class O>
struct TakeAll {
    MG_CHAIN_INLINE typename O::V operator()(typename O::V, typename O::V next) const { return next; }
};

// Returns y = b0·x + b1·x1 + b2·x2 − a1·y1 − a2·y2, in that order (which is
// what makes every kernel round alike), and moves the state on by one frame:
// x2 ← x1, x1 ← x, y2 ← y1, y1 ← y, each as keep(old, new) says, which lets
// the lanes without a frame keep their state. The state keeps y itself; the
// caller hands on y plus the denormal offset.
template <class O, class Keep = TakeAll<O>>
MG_CHAIN_INLINE typename O::V StepSection(typename O::V b0, typename O::V b1, typename O::V b2, typename O::V a1,
                                          typename O::V a2, typename O::V& x1, typename O::V& x2, typename O::V& y1,
                                          typename O::V& y2, typename O::V x, Keep keep = {})
{
    const typename O::V y =
        O::Sub(O::Sub(O::Add(O::Add(O::Mul(b0, x), O::Mul(b1, x1)), O::Mul(b2, x2)), O::Mul(a1, y1)), O::Mul(a2, y2));
    x2 = keep(x2, x1);
    x1 = keep(x1, x);
    y2 = keep(y2, y1);
    y1 = keep(y1, y);
    return y;
}

} // namespace mg
