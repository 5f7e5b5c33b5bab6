// The chain on SSE2: two positions per vector.
#include "ChainOpsX86.h"
#include "ChainRunBlock.h"

namespace mg::chain {

namespace {
struct Tag {};

struct Sse2 {
    using Wide = SseOps<Tag>;
    using Half = Wide;

    // Blocks too short for the wave run plain: on two-lane vectors the short
    // pipeline does not beat the plain chain.
    static constexpr KernelPlan kPlan = {
        .fuzz =
            {
                .plainBelow = kBelowTheWave,
                .shortBlocks = {.vectors = 6, .skew = 1},
                .longBlocks = {.vectors = 6, .skew = 2}, // overlaps two ticks
                .wave = {.used = true, .skew = 1},
            },
        .cabinet =
            {
                .plainBelow = kBelowTheWave,
                .shortBlocks = {.vectors = 11, .skew = 1},
                .longBlocks = {.vectors = 11, .skew = 2},
                .wave = {.used = true, .skew = 1},
            },
    };
};
static_assert(ChainVectorOps<Sse2::Wide>);
} // namespace

extern constinit const ChainKernelEntry kChainKernelsSse2 = KernelEntryOf<Sse2>(ChainIsa::Sse2);

} // namespace mg::chain
