#pragma once
// The effect chain's kernels are written as small functions over vector
// operations that must all melt into one loop body: forced inlining and
// unrolling, where the compiler has them.
#if defined(__GNUC__)
#define MG_CHAIN_INLINE __attribute__((always_inline)) inline
#define MG_CHAIN_UNROLL _Pragma("GCC unroll 32")
#define MG_CHAIN_NOINLINE __attribute__((noinline))
#else
#define MG_CHAIN_INLINE inline
#define MG_CHAIN_UNROLL
#define MG_CHAIN_NOINLINE
#endif
