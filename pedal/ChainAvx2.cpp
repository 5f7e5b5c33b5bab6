// The chain on AVX2: four positions per vector.
#include "ChainOpsX86.h"
#include "ChainRunBlock.h"

namespace mg::chain {

namespace {
struct Tag {};

struct Avx2 {
    using Wide = Avx2Ops<Tag>;
    using Half = Wide;

    static constexpr KernelPlan kPlan = {
        // Three vectors: few enough that a tick waits on the one before,
        // so the long pipeline and the wave overlap two ticks (skew 2).
        .fuzz =
            {
                .shortBlocks = {.vectors = 3, .skew = 1},
                .longBlocks = {.vectors = 3, .skew = 2},
                .wave = {.used = true, .skew = 2},
            },
        // Six vectors keep the processor busy at skew 1.
        .cabinet =
            {
                .shortBlocks = {.vectors = 6, .skew = 1},
                .longBlocks = {.vectors = 6, .skew = 1},
                .wave = {.used = true, .skew = 1},
            },
    };
};
static_assert(ChainVectorOps<Avx2::Wide>);
} // namespace

extern constinit const ChainKernelEntry kChainKernelsAvx2 = KernelEntryOf<Avx2>(ChainIsa::Avx2);

} // namespace mg::chain
