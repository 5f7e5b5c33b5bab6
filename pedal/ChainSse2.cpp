// The chain on SSE2: two positions per vector.
#include "ChainOpsX86.h"

namespace mg::chain {

namespace {
struct Tag {};
using Ops = SseOps<Tag>;
} // namespace

extern const ChainKernels kSse2Kernels = kKernelsOf<Plan<Schedule<Ops, Ops, 6, 1>, Schedule<Ops, Ops, 6, 2>, 32>,
                                                             Plan<Schedule<Ops, Ops, 11, 1>, Schedule<Ops, Ops, 11, 2>, 64>>;

} // namespace mg::chain
