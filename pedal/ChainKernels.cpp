// The portable kernel, and the choice among the kernels built in.
#include "ChainKernels.h"

#include "ChainPlan.h"

namespace mg {

namespace chain {

#if MG_CHAIN_X86
extern const ChainKernels kSse2Kernels;
extern const ChainKernels kAvx2Kernels;
#endif
#if MG_CHAIN_AVX512
extern const ChainKernels kAvx512Kernels;
#endif

namespace {
struct Tag {};

// One section per "vector": the same pipeline in plain C++, for processors
// without a vector kernel. The sections of a tick are independent of each
// other, which leaves the processor free to overlap them. Short blocks run
// plain: the pipeline's fill and drain cost more than they save.
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

const ChainKernels kScalarKernels = kKernelsOf<Scalar>;

} // namespace chain

const char* ChainIsaName(ChainIsa isa)
{
    switch (isa) {
    case ChainIsa::Scalar: return "scalar";
    case ChainIsa::Sse2: return "sse2";
    case ChainIsa::Avx2: return "avx2";
    case ChainIsa::Avx512: return "avx512";
    }
    return "";
}

const ChainKernels* ChainKernelsFor(ChainIsa isa)
{
    if (!ChainIsaAvailable(isa)) return nullptr;
    switch (isa) {
    case ChainIsa::Scalar: return &chain::kScalarKernels;
#if MG_CHAIN_X86
    case ChainIsa::Sse2: return &chain::kSse2Kernels;
    case ChainIsa::Avx2: return &chain::kAvx2Kernels;
#endif
#if MG_CHAIN_AVX512
    case ChainIsa::Avx512: return &chain::kAvx512Kernels;
#endif
    default: return nullptr;
    }
}

bool ChainIsaAvailable(ChainIsa isa)
{
#if MG_CHAIN_X86
    __builtin_cpu_init(); // in case a static constructor asks before the runtime's own has run
#endif
    switch (isa) {
    case ChainIsa::Scalar: return true;
#if MG_CHAIN_X86
    // The processor's own word, which also asks whether the system saves the
    // wider registers on a thread switch.
    case ChainIsa::Sse2: return __builtin_cpu_supports("sse2");
    case ChainIsa::Avx2: return __builtin_cpu_supports("avx2");
#endif
#if MG_CHAIN_AVX512
    case ChainIsa::Avx512: return __builtin_cpu_supports("avx512f") && __builtin_cpu_supports("avx512vl");
#endif
    default: return false;
    }
}

ChainIsa BestChainIsa()
{
    for (ChainIsa isa : {ChainIsa::Avx512, ChainIsa::Avx2, ChainIsa::Sse2})
        if (ChainIsaAvailable(isa)) return isa;
    return ChainIsa::Scalar;
}

} // namespace mg
