#pragma once
// Tiny noise added to the pedal's input so its recursive filters never sink
// into subnormal numbers. One generator serves every instance in the process.
#include <atomic>
#include <cstdint>

namespace mg {

constexpr int kNoiseTableSize = 44100;

// The generator's state, shared by all instances; starts at 1 when the
// library is loaded and is never reset.
extern std::atomic<std::uint32_t> noiseSeed;

// Fills the table with a random walk of single-precision steps of about
// 1e-20, drawing the next kNoiseTableSize values of the shared sequence.
void FillNoiseTable(double* table);

} // namespace mg
