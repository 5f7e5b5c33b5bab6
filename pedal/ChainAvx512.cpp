// The chain on AVX-512: eight positions per vector, or four in 32 registers.
#if defined(__GNUC__) && !defined(__clang__) && __GNUC__ < 13
// GCC 12's own AVX-512 intrinsics start from an undefined vector and then
// warn about it where they are inlined.
#pragma GCC diagnostic ignored "-Wuninitialized"
#pragma GCC diagnostic ignored "-Wmaybe-uninitialized"
#endif
#include "ChainOpsX86.h"
#include "ChainRunBlock.h"

namespace mg::chain {

namespace {
struct Tag {};

struct Avx512 {
    using Wide = Avx512Ops<Tag>;
    // 256-bit vectors with all 32 registers: better for the short fuzz blocks
    // and for the clipper's groups in short blocks.
    using Half = Avx2Ops<Tag>;

    static constexpr KernelPlan kPlan = {
        .fuzz =
            {
                .shortBlocks = {.vectors = 3, .skew = 1, .sections = Lanes::kHalf, .clipper = Lanes::kHalf},
                .longBlocks = {.vectors = 2, .skew = 2}, // 16 lanes for 12 sections
                .wave = {.used = true, .skew = 2, .lanes = Lanes::kHalf},
            },
        .cabinet =
            {
                .shortBlocks = {.vectors = 3, .skew = 1, .clipper = Lanes::kHalf},
                .longBlocks = {.vectors = 3, .skew = 2},
                .wave = {.used = true, .skew = 1, .lanes = Lanes::kHalf},
            },
    };
};
static_assert(ChainVectorOps<Avx512::Wide> && ChainVectorOps<Avx512::Half>);
} // namespace

extern constinit const ChainKernelEntry kChainKernelsAvx512 = KernelEntryOf<Avx512>(ChainIsa::Avx512);

} // namespace mg::chain
