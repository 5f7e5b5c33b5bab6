#pragma once
// What the chain's kernels ask of a vector type: the operations the pipeline,
// the wave and the clipper use, each described by what it does in every lane.
// Each instruction set supplies one set (ChainOpsX86.h); ScalarOps below is
// the portable one, a "vector" of one lane. Every set is a template over the
// including kernel file's own tag type, so that no function compiled for one
// instruction set can stand in for another's at link time.
#include <cmath>
#include <concepts>

#include "SectionStep.h"

namespace mg::chain {

template <class O>
concept ChainVectorOps = requires(typename O::V v, typename O::M m, double x, double* p, const double* cp,
                                  const int* k, const typename O::V (&vs)[1], const int (&write)[1][O::W]) {
    // O::V holds W doubles, one per lane; O::M a mask of lanes as the compares make it.
    requires std::same_as<decltype(O::W), const int> && O::W >= 1;
    // Lane l from p[l].
    { O::Load(cp) } -> std::same_as<typename O::V>;
    // Lane l to p[l].
    { O::Store(p, v) } -> std::same_as<void>;
    // x in every lane.
    { O::Set(x) } -> std::same_as<typename O::V>;
    // a + b, a − b, a · b, a / b, rounded as double arithmetic rounds them.
    { O::Add(v, v) } -> std::same_as<typename O::V>;
    { O::Sub(v, v) } -> std::same_as<typename O::V>;
    { O::Mul(v, v) } -> std::same_as<typename O::V>;
    { O::Div(v, v) } -> std::same_as<typename O::V>;
    // |a|.
    { O::Abs(v) } -> std::same_as<typename O::V>;
    // a < b, a > b, a ≥ b; false where either is NaN.
    { O::Lt(v, v) } -> std::same_as<typename O::M>;
    { O::Gt(v, v) } -> std::same_as<typename O::M>;
    { O::Ge(v, v) } -> std::same_as<typename O::M>;
    // a where the mask is set, b elsewhere.
    { O::Select(m, v, v) } -> std::same_as<typename O::V>;
    // A mask for Select of lag > lo and start < hi; may rely on no lane having both false.
    { O::Live(v, v, v, v) } -> std::same_as<typename O::M>;
    // Lane l from base[k[l]], for k[l] a section of the bank.
    { O::Gather(cp, k) } -> std::same_as<typename O::V>;
    // Lane l of v[g] to base[write[g][l]], none where that is −1.
    { O::ScatterAll(p, vs, write) } -> std::same_as<void>;
    // Every lane is zero (NaN is not).
    { O::AllZero(v) } -> std::same_as<bool>;
    // Lanes move up by one, x enters lane 0, the top lane falls out.
    { O::ShiftIn(v, x) } -> std::same_as<typename O::V>;
    // Lanes of a move up by one, the top lane of prev enters lane 0.
    { O::ShiftAcross(v, v) } -> std::same_as<typename O::V>;
    // Lanes of r move up by one, lane L of v enters lane 0.
    { O::template ShiftInLane<0>(v, v) } -> std::same_as<typename O::V>;
    { O::template ShiftInLane<O::W - 1>(v, v) } -> std::same_as<typename O::V>;
    // v with x in lane L.
    { O::template Insert<0>(v, x) } -> std::same_as<typename O::V>;
    { O::template Insert<O::W - 1>(v, x) } -> std::same_as<typename O::V>;
    // Lane L of v.
    { O::template Lane<0>(v) } -> std::same_as<double>;
    { O::template Lane<O::W - 1>(v) } -> std::same_as<double>;
    // Lane L of v to *p, which may touch (but not change) p − L to p.
    { O::template StoreLane<0>(p, v) } -> std::same_as<void>;
    { O::template StoreLane<O::W - 1>(p, v) } -> std::same_as<void>;
    // b in the lanes of the bit mask, a in the others.
    { O::template Blend<0>(v, v) } -> std::same_as<typename O::V>;
    { O::template Blend<(1 << O::W) - 1>(v, v) } -> std::same_as<typename O::V>;
};

// One lane: the portable kernel's operations, and those of the head's first
// frames in every kernel.
template <class Tag>
struct ScalarOps : DoubleArithmetic<Tag> {
    using V = double;
    using M = bool;
    static constexpr int W = 1;

    static MG_CHAIN_INLINE V Load(const double* p) { return *p; }
    static MG_CHAIN_INLINE void Store(double* p, V v) { *p = v; }
    static MG_CHAIN_INLINE V Set(double x) { return x; }
    static MG_CHAIN_INLINE V Div(V a, V b) { return a / b; }
    static MG_CHAIN_INLINE V Abs(V a) { return std::fabs(a); }
    static MG_CHAIN_INLINE M Lt(V a, V b) { return a < b; }
    static MG_CHAIN_INLINE M Gt(V a, V b) { return a > b; }
    static MG_CHAIN_INLINE M Ge(V a, V b) { return a >= b; }
    static MG_CHAIN_INLINE V Select(M m, V a, V b) { return m ? a : b; }
    static MG_CHAIN_INLINE M Live(V lag, V start, V lo, V hi) { return lag > lo && start < hi; }
    static MG_CHAIN_INLINE V Gather(const double* base, const int* k) { return base[k[0]]; }
    template <int NV>
    static MG_CHAIN_INLINE void ScatterAll(double* base, const V (&v)[NV], const int (&write)[NV][W])
    {
        for (int g = 0; g < NV; ++g)
            if (write[g][0] >= 0) base[write[g][0]] = v[g];
    }
    static MG_CHAIN_INLINE bool AllZero(V v) { return v == 0.0; }
    static MG_CHAIN_INLINE V ShiftIn(V, double e) { return e; }
    static MG_CHAIN_INLINE V ShiftAcross(V, V prev) { return prev; }
    template <int>
    static MG_CHAIN_INLINE V ShiftInLane(V, V v) { return v; }
    template <int>
    static MG_CHAIN_INLINE V Insert(V, double x) { return x; }
    template <int>
    static MG_CHAIN_INLINE double Lane(V v) { return v; }
    template <int>
    static MG_CHAIN_INLINE void StoreLane(double* p, V v) { *p = v; }
    template <int kMask>
    static MG_CHAIN_INLINE V Blend(V a, V b) { return (kMask & 1) ? b : a; }
};

} // namespace mg::chain
