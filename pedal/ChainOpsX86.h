#pragma once
// Vector operations for the chain's x86 kernels, one set per register width,
// each a ChainVectorOps (ChainOps.h says what every operation does). Each is
// a template over the including kernel file's own tag type, so every
// instruction set keeps its own copy of everything.
#include <immintrin.h>

#include "BiquadBank.h"
#include "ChainOps.h"

namespace mg::chain {

template <class Tag>
struct SseOps {
    using V = __m128d;
    using M = __m128d;
    static constexpr int W = 2;

    static MG_CHAIN_INLINE V Load(const double* p) { return _mm_loadu_pd(p); }
    static MG_CHAIN_INLINE void Store(double* p, V v) { _mm_storeu_pd(p, v); }
    static MG_CHAIN_INLINE V Set(double x) { return _mm_set1_pd(x); }
    static MG_CHAIN_INLINE V Add(V a, V b) { return _mm_add_pd(a, b); }
    static MG_CHAIN_INLINE V Sub(V a, V b) { return _mm_sub_pd(a, b); }
    static MG_CHAIN_INLINE V Mul(V a, V b) { return _mm_mul_pd(a, b); }
    static MG_CHAIN_INLINE V Div(V a, V b) { return _mm_div_pd(a, b); }
    static MG_CHAIN_INLINE V Abs(V a) { return _mm_andnot_pd(_mm_set1_pd(-0.0), a); }
    static MG_CHAIN_INLINE M Lt(V a, V b) { return _mm_cmplt_pd(a, b); }
    static MG_CHAIN_INLINE M Gt(V a, V b) { return _mm_cmpgt_pd(a, b); }
    static MG_CHAIN_INLINE M Ge(V a, V b) { return _mm_cmpge_pd(a, b); }
    static MG_CHAIN_INLINE V Select(M m, V a, V b) { return _mm_or_pd(_mm_and_pd(m, a), _mm_andnot_pd(m, b)); }
    static MG_CHAIN_INLINE M Live(V lag, V start, V lo, V hi) { return _mm_and_pd(_mm_cmpgt_pd(lag, lo), _mm_cmplt_pd(start, hi)); }
    static MG_CHAIN_INLINE V Gather(const double* base, const int* k) { return _mm_loadh_pd(_mm_load_sd(base + k[0]), base + k[1]); }
    static MG_CHAIN_INLINE void Scatter(double* base, const int* k, V v)
    {
        if (k[0] >= 0) _mm_storel_pd(base + k[0], v);
        if (k[1] >= 0) _mm_storeh_pd(base + k[1], v);
    }
    template <int NV>
    static MG_CHAIN_INLINE void ScatterAll(double* base, const V (&v)[NV], const int (&write)[NV][W])
    {
        MG_CHAIN_UNROLL
        for (int g = 0; g < NV; ++g) Scatter(base, write[g], v[g]);
    }
    static MG_CHAIN_INLINE bool AllZero(V v) { return _mm_movemask_pd(_mm_cmpneq_pd(v, _mm_setzero_pd())) == 0; }
    // (e, p0): lanes move up by one, e enters lane 0.
    static MG_CHAIN_INLINE V ShiftIn(V p, double e) { return _mm_unpacklo_pd(_mm_set_sd(e), p); }
    template <int kLane>
    static MG_CHAIN_INLINE V Insert(V v, double x)
    {
        if constexpr (kLane == 0) return _mm_move_sd(v, _mm_set_sd(x));
        else return _mm_unpacklo_pd(v, _mm_set_sd(x));
    }
    template <int kLane>
    static MG_CHAIN_INLINE double Lane(V v)
    {
        if constexpr (kLane == 0) return _mm_cvtsd_f64(v);
        else return _mm_cvtsd_f64(_mm_unpackhi_pd(v, v));
    }
    // (prev1, a0)
    static MG_CHAIN_INLINE V ShiftAcross(V a, V prev) { return _mm_shuffle_pd(prev, a, 0x1); }
    // (v[kLane], r0)
    template <int kLane>
    static MG_CHAIN_INLINE V ShiftInLane(V r, V v) { return _mm_shuffle_pd(v, r, kLane); }
    template <int kLane>
    static MG_CHAIN_INLINE void StoreLane(double* p, V v)
    {
        if constexpr (kLane == 0) _mm_storel_pd(p, v);
        else _mm_storeh_pd(p, v);
    }
    // b in the lanes of kMask, a in the others.
    template <int kMask>
    static MG_CHAIN_INLINE V Blend(V a, V b)
    {
        if constexpr (kMask == 0) return a;
        else if constexpr (kMask == 1) return _mm_move_sd(a, b);
        else if constexpr (kMask == 2) return _mm_move_sd(b, a);
        else return b;
    }
};

#if defined(__AVX2__)
template <class Tag>
struct Avx2Ops {
    using V = __m256d;
    using M = __m256d;
    static constexpr int W = 4;

    static MG_CHAIN_INLINE V Load(const double* p) { return _mm256_loadu_pd(p); }
    static MG_CHAIN_INLINE void Store(double* p, V v) { _mm256_storeu_pd(p, v); }
    static MG_CHAIN_INLINE V Set(double x) { return _mm256_set1_pd(x); }
    static MG_CHAIN_INLINE V Add(V a, V b) { return _mm256_add_pd(a, b); }
    static MG_CHAIN_INLINE V Sub(V a, V b) { return _mm256_sub_pd(a, b); }
    static MG_CHAIN_INLINE V Mul(V a, V b) { return _mm256_mul_pd(a, b); }
    static MG_CHAIN_INLINE V Div(V a, V b) { return _mm256_div_pd(a, b); }
    static MG_CHAIN_INLINE V Abs(V a) { return _mm256_andnot_pd(_mm256_set1_pd(-0.0), a); }
    static MG_CHAIN_INLINE M Lt(V a, V b) { return _mm256_cmp_pd(a, b, _CMP_LT_OQ); }
    static MG_CHAIN_INLINE M Gt(V a, V b) { return _mm256_cmp_pd(a, b, _CMP_GT_OQ); }
    static MG_CHAIN_INLINE M Ge(V a, V b) { return _mm256_cmp_pd(a, b, _CMP_GE_OQ); }
    static MG_CHAIN_INLINE V Select(M m, V a, V b) { return _mm256_blendv_pd(b, a, m); }
    // Select looks at the sign bit only: (lo − lag)·(hi − start) is negative
    // exactly when lo < lag and start < hi, as a lane cannot be finished and
    // not yet started at once.
    static MG_CHAIN_INLINE M Live(V lag, V start, V lo, V hi)
    {
        return _mm256_mul_pd(_mm256_sub_pd(lo, lag), _mm256_sub_pd(hi, start));
    }
    static MG_CHAIN_INLINE V Gather(const double* base, const int* k)
    {
        return _mm256_setr_pd(base[k[0]], base[k[1]], base[k[2]], base[k[3]]);
    }
    static MG_CHAIN_INLINE void Scatter(double* base, const int* k, V v)
    {
        const __m128d lo = _mm256_castpd256_pd128(v), hi = _mm256_extractf128_pd(v, 1);
        if (k[0] >= 0) _mm_storel_pd(base + k[0], lo);
        if (k[1] >= 0) _mm_storeh_pd(base + k[1], lo);
        if (k[2] >= 0) _mm_storel_pd(base + k[2], hi);
        if (k[3] >= 0) _mm_storeh_pd(base + k[3], hi);
    }
    template <int NV>
    static MG_CHAIN_INLINE void ScatterAll(double* base, const V (&v)[NV], const int (&write)[NV][W])
    {
        MG_CHAIN_UNROLL
        for (int g = 0; g < NV; ++g) Scatter(base, write[g], v[g]);
    }
    static MG_CHAIN_INLINE bool AllZero(V v)
    {
        return _mm256_movemask_pd(_mm256_cmp_pd(v, _mm256_setzero_pd(), _CMP_NEQ_UQ)) == 0;
    }
    // (e, p0, p1, p2)
    static MG_CHAIN_INLINE V ShiftIn(V p, double e)
    {
        return _mm256_blend_pd(_mm256_permute4x64_pd(p, _MM_SHUFFLE(2, 1, 0, 0)), _mm256_set1_pd(e), 0x1);
    }
    template <int kLane>
    static MG_CHAIN_INLINE V Insert(V v, double x)
    {
        return _mm256_blend_pd(v, _mm256_set1_pd(x), 1 << kLane);
    }
    template <int kLane>
    static MG_CHAIN_INLINE double Lane(V v)
    {
        if constexpr (kLane == 0) return _mm256_cvtsd_f64(v);
        else return _mm256_cvtsd_f64(_mm256_permute4x64_pd(v, kLane));
    }
    // (prev3, a0, a1, a2)
    static MG_CHAIN_INLINE V ShiftAcross(V a, V prev)
    {
#if defined(__AVX512VL__)
        return _mm256_castsi256_pd(_mm256_alignr_epi64(_mm256_castpd_si256(a), _mm256_castpd_si256(prev), 3));
#else
        return _mm256_shuffle_pd(_mm256_permute2f128_pd(prev, a, 0x21), a, 0x5);
#endif
    }
    template <int kMask>
    static MG_CHAIN_INLINE V Blend(V a, V b) { return _mm256_blend_pd(a, b, kMask); }
    // (v[kLane], r0, r1, r2)
    template <int kLane>
    static MG_CHAIN_INLINE V ShiftInLane(V r, V v)
    {
#if defined(__AVX512VL__)
        // One two-source permute instead of a broadcast and a shift.
        return _mm256_permutex2var_pd(r, _mm256_setr_epi64x(4 + kLane, 0, 1, 2), v);
#else
        return ShiftAcross(r, _mm256_permute4x64_pd(v, kLane * 0x55));
#endif
    }
    // Lane kLane of v to *p; p − kLane must be valid memory.
    template <int kLane>
    static MG_CHAIN_INLINE void StoreLane(double* p, V v)
    {
#if defined(__AVX512VL__)
        _mm256_mask_storeu_pd(p - kLane, static_cast<__mmask8>(1u << kLane), v);
#else
        const __m128d half = kLane < 2 ? _mm256_castpd256_pd128(v) : _mm256_extractf128_pd(v, 1);
        if constexpr (kLane % 2 == 0) _mm_storel_pd(p, half);
        else _mm_storeh_pd(p, half);
#endif
    }
};
#endif

#if defined(__AVX512F__)
template <class Tag>
struct Avx512Ops {
    using V = __m512d;
    using M = __mmask8;
    static constexpr int W = 8;

    static MG_CHAIN_INLINE V Load(const double* p) { return _mm512_loadu_pd(p); }
    static MG_CHAIN_INLINE void Store(double* p, V v) { _mm512_storeu_pd(p, v); }
    static MG_CHAIN_INLINE V Set(double x) { return _mm512_set1_pd(x); }
    static MG_CHAIN_INLINE V Add(V a, V b) { return _mm512_add_pd(a, b); }
    static MG_CHAIN_INLINE V Sub(V a, V b) { return _mm512_sub_pd(a, b); }
    static MG_CHAIN_INLINE V Mul(V a, V b) { return _mm512_mul_pd(a, b); }
    static MG_CHAIN_INLINE V Div(V a, V b) { return _mm512_div_pd(a, b); }
    static MG_CHAIN_INLINE V Abs(V a) { return _mm512_abs_pd(a); }
    static MG_CHAIN_INLINE M Lt(V a, V b) { return _mm512_cmp_pd_mask(a, b, _CMP_LT_OQ); }
    static MG_CHAIN_INLINE M Gt(V a, V b) { return _mm512_cmp_pd_mask(a, b, _CMP_GT_OQ); }
    static MG_CHAIN_INLINE M Ge(V a, V b) { return _mm512_cmp_pd_mask(a, b, _CMP_GE_OQ); }
    static MG_CHAIN_INLINE V Select(M m, V a, V b) { return _mm512_mask_blend_pd(m, b, a); }
    static MG_CHAIN_INLINE M Live(V lag, V start, V lo, V hi)
    {
        return _mm512_mask_cmp_pd_mask(_mm512_cmp_pd_mask(lag, lo, _CMP_GT_OQ), start, hi, _CMP_LT_OQ);
    }
    // Lanes from any section of a bank array: two-source permutes of its
    // four contiguous vectors (gathers and scatters are slow on some cores).
    static MG_CHAIN_INLINE V Gather(const double* base, const int* k)
    {
        static_assert(BiquadBank::kSections == 4 * W, "the bank is four vectors (ChainTopology.h)");
        const __m512i index = _mm512_cvtepi32_epi64(_mm256_loadu_si256(reinterpret_cast<const __m256i*>(k)));
        const V low = _mm512_permutex2var_pd(_mm512_loadu_pd(base), index, _mm512_loadu_pd(base + 8));
        const V high = _mm512_permutex2var_pd(_mm512_loadu_pd(base + 16), index, _mm512_loadu_pd(base + 24));
        return _mm512_mask_blend_pd(_mm512_cmpge_epi64_mask(index, _mm512_set1_epi64(16)), low, high);
    }
    // Writes lane l of v[g] to section write[g][l] (none where it is -1),
    // eight sections at a time: the inverse permutes and a masked store.
    template <int NV>
    static MG_CHAIN_INLINE void ScatterAll(double* base, const V (&v)[NV], const int (&write)[NV][W])
    {
        static_assert(NV <= 4, "up to four vectors");
        MG_CHAIN_UNROLL
        for (int chunk = 0; chunk < BiquadBank::kSections / W; ++chunk) {
            long long from01[W] = {}, from23[W] = {};
            unsigned in01 = 0, in23 = 0;
            for (int m = 0; m < W; ++m)
                for (int g = 0; g < NV; ++g)
                    for (int l = 0; l < W; ++l)
                        if (write[g][l] == chunk * W + m) {
                            if (g < 2) {
                                from01[m] = g * W + l;
                                in01 |= 1u << m;
                            } else {
                                from23[m] = (g - 2) * W + l;
                                in23 |= 1u << m;
                            }
                        }
            if ((in01 | in23) == 0) continue;
            V r = _mm512_permutex2var_pd(v[0], _mm512_loadu_si512(from01), v[NV > 1 ? 1 : 0]);
            if constexpr (NV > 2)
                r = _mm512_mask_blend_pd(static_cast<__mmask8>(in23), r,
                                         _mm512_permutex2var_pd(v[2], _mm512_loadu_si512(from23), v[NV > 3 ? 3 : 2]));
            _mm512_mask_storeu_pd(base + chunk * W, static_cast<__mmask8>(in01 | in23), r);
        }
    }
    static MG_CHAIN_INLINE bool AllZero(V v) { return _mm512_cmp_pd_mask(v, _mm512_setzero_pd(), _CMP_NEQ_UQ) == 0; }
    // (e, p0, ..., p6)
    static MG_CHAIN_INLINE V ShiftIn(V p, double e)
    {
        return _mm512_castsi512_pd(
            _mm512_alignr_epi64(_mm512_castpd_si512(p), _mm512_castpd_si512(_mm512_set1_pd(e)), 7));
    }
    template <int kLane>
    static MG_CHAIN_INLINE V Insert(V v, double x)
    {
        return _mm512_mask_broadcastsd_pd(v, static_cast<__mmask8>(1u << kLane), _mm_set_sd(x));
    }
    template <int kLane>
    static MG_CHAIN_INLINE double Lane(V v)
    {
        if constexpr (kLane == 0) return _mm512_cvtsd_f64(v);
        else return _mm512_cvtsd_f64(_mm512_permutexvar_pd(_mm512_set1_epi64(kLane), v));
    }
    // (prev7, a0, ..., a6)
    static MG_CHAIN_INLINE V ShiftAcross(V a, V prev)
    {
        return _mm512_castsi512_pd(_mm512_alignr_epi64(_mm512_castpd_si512(a), _mm512_castpd_si512(prev), 7));
    }
    template <int kMask>
    static MG_CHAIN_INLINE V Blend(V a, V b) { return _mm512_mask_blend_pd(static_cast<__mmask8>(kMask), a, b); }
    // (v[kLane], r0, ..., r6)
    template <int kLane>
    static MG_CHAIN_INLINE V ShiftInLane(V r, V v)
    {
        return ShiftAcross(r, _mm512_permutexvar_pd(_mm512_set1_epi64(kLane), v));
    }
    // Lane kLane of v to *p; p − kLane must be valid memory.
    template <int kLane>
    static MG_CHAIN_INLINE void StoreLane(double* p, V v)
    {
        _mm512_mask_storeu_pd(p - kLane, static_cast<__mmask8>(1u << kLane), v);
    }
};
#endif

} // namespace mg::chain
