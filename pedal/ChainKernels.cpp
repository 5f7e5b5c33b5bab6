// The choice among the kernels built in: those in the table the build
// generates from its list of kernel files (ChainKernels.cmake) that the
// processor and the system can run.
#include "ChainKernels.h"

#include <initializer_list>

#include "ChainKernelTable.h"

namespace mg {

namespace {

const ChainKernels* BuiltIn(ChainIsa isa)
{
    for (int i = 0; i < chain::kChainKernelCount; ++i)
        if (chain::kChainKernelTable[i]->isa == isa) return &chain::kChainKernelTable[i]->kernels;
    return nullptr;
}

bool ProcessorRuns(ChainIsa isa)
{
    if (isa == ChainIsa::Scalar) return true;
#if defined(__i386__) || defined(__x86_64__)
    __builtin_cpu_init(); // in case a static constructor asks before the runtime's own has run
    // The processor's own word, which also asks whether the system saves the
    // wider registers on a thread switch.
    switch (isa) {
    case ChainIsa::Sse2: return __builtin_cpu_supports("sse2");
    case ChainIsa::Avx2: return __builtin_cpu_supports("avx2");
    case ChainIsa::Avx512: return __builtin_cpu_supports("avx512f") && __builtin_cpu_supports("avx512vl");
    default: break;
    }
#endif
    return false;
}

} // namespace

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
    return ProcessorRuns(isa) ? BuiltIn(isa) : nullptr;
}

bool ChainIsaAvailable(ChainIsa isa)
{
    return ChainKernelsFor(isa) != nullptr;
}

ChainIsa BestChainIsa()
{
    for (ChainIsa isa : {ChainIsa::Avx512, ChainIsa::Avx2, ChainIsa::Sse2})
        if (ChainIsaAvailable(isa)) return isa;
    return ChainIsa::Scalar;
}

} // namespace mg
