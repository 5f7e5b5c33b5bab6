// The chain on SSE2: two positions per vector.
#include "ChainOpsX86.h"

namespace mg::chain {

namespace {
struct Tag {};
using Ops = SseOps<Tag>;
} // namespace

extern const ChainKernels kSse2Kernels =
    kKernelsOf<Plan<Schedule<Ops, Ops, 6, 1>, Schedule<Ops, Ops, 6, 2>, WaveChain<Ops, Ops, kFuzzTail, false>::kMinFrames,
                    WaveOps<Ops, Ops>>,
               Plan<Schedule<Ops, Ops, 11, 1>, Schedule<Ops, Ops, 11, 2>, WaveChain<Ops, Ops, kCabinetTail, true>::kMinFrames,
                    WaveOps<Ops, Ops>>>;

} // namespace mg::chain
