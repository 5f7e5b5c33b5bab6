// The chain on AVX2: four positions per vector.
#include "ChainOpsX86.h"

namespace mg::chain {

namespace {
struct Tag {};
using Ops = Avx2Ops<Tag>;
} // namespace

extern const ChainKernels kAvx2Kernels =
    kKernelsOf<Plan<Schedule<Ops, Ops, 3, 1>, Schedule<Ops, Ops, 3, 2>, 0, WaveOps<Ops, Ops, 2>>,
               Plan<Schedule<Ops, Ops, 6, 1>, Schedule<Ops, Ops, 6, 1>, 0, WaveOps<Ops, Ops>>>;

} // namespace mg::chain
