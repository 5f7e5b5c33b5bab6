// The chain on AVX-512: eight positions per vector.
#if defined(__GNUC__) && !defined(__clang__) && __GNUC__ < 13
// GCC 12's own AVX-512 intrinsics start from an undefined vector and then
// warn about it where they are inlined.
#pragma GCC diagnostic ignored "-Wuninitialized"
#pragma GCC diagnostic ignored "-Wmaybe-uninitialized"
#endif
#include "ChainOpsX86.h"

namespace mg::chain {

namespace {
struct Tag {};
using Ops = Avx512Ops<Tag>;
} // namespace

extern const ChainKernels kAvx512Kernels = kKernelsOf<Ops, Ops, Avx2Ops<Tag>, Tuning<2, 2>, Tuning<3, 2>>;

} // namespace mg::chain
