// The chain on AVX2: four positions per vector.
#include "ChainOpsX86.h"

namespace mg::chain {

namespace {
struct Tag {};
using Ops = Avx2Ops<Tag>;
} // namespace

extern const ChainKernels kAvx2Kernels = kKernelsOf<Ops, Ops, Ops, Tuning<3, 2>, Tuning<6, 1>>;

} // namespace mg::chain
