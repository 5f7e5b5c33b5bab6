// The chain on AVX-512: eight positions per vector, or four in 32 registers.
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
// 256-bit vectors with all 32 registers: better for the short fuzz blocks
// and for the clipper's groups in short blocks.
using Half = Avx2Ops<Tag>;
} // namespace

extern const ChainKernels kAvx512Kernels =
    kKernelsOf<Plan<Schedule<Half, Half, 3, 1>, Schedule<Ops, Ops, 2, 2>, 0, WaveOps<Half, Half, 2>>,
               Plan<Schedule<Ops, Half, 3, 1>, Schedule<Ops, Ops, 3, 2>, 0, WaveOps<Half, Half>>>;

} // namespace mg::chain
