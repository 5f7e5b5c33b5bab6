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

#include "ChainTopology.h"

namespace mg::chain {

static_assert(kChainTopology.headSections == 2, "the head is two sections side by side in the kernels");
inline constexpr int kTailFirst = kChainTopology.TailFirst();
inline constexpr int kFuzzTail = kChainTopology.FuzzTail();
inline constexpr int kCabinetTail = kChainTopology.CabinetTail();
inline constexpr int kGainTailIndex = kChainTopology.GainTailIndex();
inline constexpr int kZeroSection = kChainTopology.ZeroSection();
inline constexpr int kLongBlock = 128; // blocks from here on take the long schedule

// Which sections a kernel runs: the fuzz stage alone, or with the cabinet.
struct ChainMode {
    int tail;     // sections after the clipper
    bool cabinet; // the cabinet's sections among them, the output gain at section 12's input
};
inline constexpr ChainMode kFuzzMode = {.tail = kFuzzTail, .cabinet = false};
inline constexpr ChainMode kCabinetMode = {.tail = kCabinetTail, .cabinet = true};

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
// its `kPlan`; the runners take the ones a plan names.
template <class Isa, Lanes kLanes>
using OpsOf = std::conditional_t<kLanes == Lanes::kWide, typename Isa::Wide, typename Isa::Half>;

} // namespace mg::chain
