#pragma once
// The kernels built into this binary, one entry per kernel file. Each file
// defines its entry under the name kChainKernels<Name> (Name as
// ChainKernels.cmake lists the file), and the build generates the table
// from that list: the table names every entry, so the linker takes every
// kernel file, and one that is listed but missing fails the link.
#include "ChainKernels.h"

namespace mg::chain {

struct ChainKernelEntry {
    ChainIsa isa;
    ChainKernels kernels;
};

// kChainKernelCount entries (ChainKernelTable.cpp, generated).
extern const ChainKernelEntry* const kChainKernelTable[];
extern const int kChainKernelCount;

} // namespace mg::chain
