// The portable kernel, for processors without a vector kernel.
#include "ChainOps.h"
#include "ChainRunBlock.h"

namespace mg::chain {

namespace {
struct Tag {};

// One section per "vector": the same pipeline in plain C++. The sections of
// a tick are independent of each other, which leaves the processor free to
// overlap them. Short blocks run plain: the pipeline's fill and drain cost
// more than they save.
struct Scalar {
    using Wide = ScalarOps<Tag>;
    using Half = Wide;

    static constexpr KernelPlan kPlan = {
        .fuzz =
            {
                .plainBelow = 256,
                .shortBlocks = {.vectors = kFuzzTail + 2},
                .longBlocks = {.vectors = kFuzzTail + 2},
                .wave = {},
            },
        .cabinet =
            {
                .plainBelow = 128,
                .shortBlocks = {.vectors = kCabinetTail + 2},
                .longBlocks = {.vectors = kCabinetTail + 2},
                .wave = {},
            },
    };
};
static_assert(ChainVectorOps<Scalar::Wide>);
} // namespace

extern constinit const ChainKernelEntry kChainKernelsScalar = KernelEntryOf<Scalar>(ChainIsa::Scalar);

} // namespace mg::chain
