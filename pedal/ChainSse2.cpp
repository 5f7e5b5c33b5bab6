// The chain on SSE2: two positions per vector.
#include "ChainOpsX86.h"

namespace mg::chain {

namespace {
struct Tag {};
using Ops = SseOps<Tag>;
} // namespace

extern const ChainKernels kSse2Kernels = kKernelsOf<Ops, Ops, Ops, Tuning<6, 2, 32>, Tuning<11, 2, 64>>;

} // namespace mg::chain
