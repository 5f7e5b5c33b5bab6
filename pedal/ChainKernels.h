#pragma once
// The pedal's effect chain for one block, built once per instruction set.
// The pedal takes the widest set the processor and the system support when
// it is created; every kernel computes the same samples bit for bit.
#include "BiquadBank.h"

namespace mg {

enum class ChainIsa { Scalar, Sse2, Avx2, Avx512 };
inline constexpr ChainIsa kChainIsas[] = {ChainIsa::Scalar, ChainIsa::Sse2, ChainIsa::Avx2, ChainIsa::Avx512};

// One effect-mode block: the two inputs are summed, noise entry i is added to
// frame i, and the chain's result goes to both outputs.
struct ChainBlock {
    BiquadBank* bank;
    const double* in0;
    const double* in1;
    double* out0;
    double* out1;
    int frames;          // at least 1
    const double* noise; // kNoiseTableSize entries, wrapped past the end
    double drive;
    double attack;
    double outputGain;
};

// Runs the block and writes the filter states back; false when any state
// of the sections the kernel ran is no longer finite.
using ChainKernel = bool (*)(const ChainBlock&);

struct ChainKernels {
    ChainKernel fuzz;        // sections 0 to 11
    ChainKernel fuzzCabinet; // sections 0 to 21
};

const char* ChainIsaName(ChainIsa isa);
// True when the kernels are built into this binary and the processor and the
// system can run them.
bool ChainIsaAvailable(ChainIsa isa);
// The widest available set; Scalar where no other is.
ChainIsa BestChainIsa();
// The kernels of an available set, else null.
const ChainKernels* ChainKernelsFor(ChainIsa isa);

} // namespace mg
