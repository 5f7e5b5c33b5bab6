#pragma once
// How a kernel runs a block, as a table of named numbers per instruction set
// (each kernel file's kPlan). For each mode, fuzz alone or with the cabinet:
//
//   frames:  1 ……………… plainBelow ……………… wave's shortest ……………… kLongBlock ……………… ∞
//            │ plain chain │ shortBlocks pipeline │ wave          │ longBlocks pipeline
//
// Blocks shorter than plainBelow run through the plain chain, one frame
// after another; blocks of kLongBlock frames and more through the long
// pipeline, which may overlap more work per tick (a skew of 2); the others
// through the wave when the plan has one and the block is long enough for
// it, else through the short pipeline, which should be shallow (skew 1) to
// fill and drain quickly.
#include <type_traits>

#include "ChainOps.h"
#include "ChainPipeline.h"
#include "ChainWave.h"

namespace mg::chain {

// Which of a kernel file's vector types a part uses: its widest (Wide) or
// one half as wide (Half; with AVX-512, 256-bit vectors that still have all
// 32 registers).
enum class Lanes { kWide, kHalf };

// The interleaved pipeline (ChainPipeline.h).
struct PipelinePlan {
    int vectors = 0;               // vectors the sections' positions take (at least L + 2 lanes)
    int skew = 1;                  // ticks from a section to the next: 2 overlaps two ticks, 1 fills fastest
    Lanes sections = Lanes::kWide; // the sections' vectors
    Lanes clipper = Lanes::kWide;  // the clipper's groups of frames: narrower groups are ready sooner
};

// The wave for short blocks (ChainWave.h).
struct WavePlan {
    bool used = false;
    int skew = 1;               // 2: a section takes what the one before it computed two ticks back
    Lanes lanes = Lanes::kWide; // the sections' and the clipper's vectors
};

// plainBelow's value for "the wave's shortest block": a short pipeline on
// many narrow vectors costs more than the plain chain below it.
inline constexpr int kBelowTheWave = -1;

// One mode, fuzz alone or with the cabinet.
struct ModePlan {
    int plainBelow = 0;       // blocks shorter than this run through the plain chain
    PipelinePlan shortBlocks; // shorter than kLongBlock, when not the wave's
    PipelinePlan longBlocks;  // kLongBlock frames and more
    WavePlan wave;            // from its shortest block to kLongBlock − 1 frames
};

struct KernelPlan {
    ModePlan fuzz;    // the fuzz stage alone
    ModePlan cabinet; // the fuzz stage and the cabinet
};

// A kernel file's vector types: `Wide` and `Half` (both ChainVectorOps), and
// its `kPlan`.
template <class Isa, Lanes kLanes>
using OpsOf = std::conditional_t<kLanes == Lanes::kWide, typename Isa::Wide, typename Isa::Half>;

template <class Isa, bool kCabinet>
bool RunBlock(const ChainBlock& block)
{
    constexpr ModePlan P = kCabinet ? Isa::kPlan.cabinet : Isa::kPlan.fuzz;
    constexpr int L = kCabinet ? kCabinetTail : kFuzzTail;
    using Short = OpsOf<Isa, P.shortBlocks.sections>;
    using ShortClipper = OpsOf<Isa, P.shortBlocks.clipper>;
    using Long = OpsOf<Isa, P.longBlocks.sections>;
    using LongClipper = OpsOf<Isa, P.longBlocks.clipper>;
    using WaveOps = OpsOf<Isa, P.wave.lanes>;
    constexpr int kWaveSkew = P.wave.skew;
    constexpr int kWaveShortest = WaveChain<WaveOps, WaveOps, L, kCabinet, kWaveSkew>::kMinFrames;
    constexpr int kPlainBelow = P.plainBelow == kBelowTheWave ? kWaveShortest : P.plainBelow;

    if (block.frames < kPlainBelow) return Plain<typename Isa::Wide>::template Run<L, kCabinet>(block);
    if (block.frames >= kLongBlock)
        return PipelineRun<Long, LongClipper, L, P.longBlocks.vectors, P.longBlocks.skew, kCabinet>::Run(block);
    if constexpr (P.wave.used) {
        if (block.frames >= kWaveShortest) return WaveRun<WaveOps, WaveOps, L, kCabinet, kWaveSkew>::Run(block);
        // A deeper wave needs more frames; the shallow one may still do.
        if constexpr (kWaveSkew > 1)
            if (block.frames >= WaveChain<WaveOps, WaveOps, L, kCabinet>::kMinFrames)
                return WaveRun<WaveOps, WaveOps, L, kCabinet>::Run(block);
    }
    return PipelineRun<Short, ShortClipper, L, P.shortBlocks.vectors, P.shortBlocks.skew, kCabinet>::Run(block);
}

template <class Isa>
inline constexpr ChainKernels kKernelsOf = {
    &RunBlock<Isa, false>,
    &RunBlock<Isa, true>,
};

} // namespace mg::chain
