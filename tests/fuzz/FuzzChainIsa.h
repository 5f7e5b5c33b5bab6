#pragma once
// The effect chain's instruction set an input byte asks for, so inputs
// drive every kernel; the widest when this machine lacks the one asked for.
#include "ChainKernels.h"
#include "MarrowGrit.h"

namespace mg::fuzz {

inline void ChooseChainIsa(MarrowGrit& pedal, unsigned pick)
{
    static const ChainIsa kPicks[] = {BestChainIsa(), ChainIsa::Scalar, ChainIsa::Sse2, ChainIsa::Avx2};
    if (!pedal.SetChainIsa(kPicks[pick % 4])) pedal.SetChainIsa(BestChainIsa());
}

} // namespace mg::fuzz
