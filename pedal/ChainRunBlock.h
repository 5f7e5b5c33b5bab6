#pragma once
// A kernel file's two kernels, fuzz alone and with the cabinet: each block
// through the path its plan (ChainPlan.h) names for the block's length.
#include "ChainKernelTable.h"
#include "ChainPipeline.h"
#include "ChainPlan.h"
#include "ChainWave.h"

namespace mg::chain {

template <class Isa, ChainMode kMode>
bool RunBlock(const ChainBlock& block)
{
    constexpr ModePlan P = kMode.cabinet ? Isa::kPlan.cabinet : Isa::kPlan.fuzz;
    // A deeper wave needs more frames; the shallow one may still do.
    constexpr WavePlan kShallowWave = {.used = true, .skew = 1, .lanes = P.wave.lanes};
    constexpr int kWaveShortest = WaveChain<Isa, kMode, P.wave>::kMinFrames;
    constexpr int kPlainBelow = P.plainBelow == kBelowTheWave ? kWaveShortest : P.plainBelow;

    if (block.frames < kPlainBelow) return Plain<typename Isa::Wide>::template Run<kMode>(block);
    if (block.frames >= kLongBlock) return PipelineRun<Isa, kMode, P.longBlocks>::Run(block);
    if constexpr (P.wave.used) {
        if (block.frames >= kWaveShortest) return WaveRun<Isa, kMode, P.wave>::Run(block);
        if constexpr (P.wave.skew > 1)
            if (block.frames >= WaveChain<Isa, kMode, kShallowWave>::kMinFrames)
                return WaveRun<Isa, kMode, kShallowWave>::Run(block);
    }
    return PipelineRun<Isa, kMode, P.shortBlocks>::Run(block);
}

// A kernel file's entry: extern constinit const ChainKernelEntry
// kChainKernels<Name> = KernelEntryOf<Isa>(ChainIsa::<Name>);
template <class Isa>
constexpr ChainKernelEntry KernelEntryOf(ChainIsa isa)
{
    return {isa, {&RunBlock<Isa, kFuzzMode>, &RunBlock<Isa, kCabinetMode>}};
}

} // namespace mg::chain
