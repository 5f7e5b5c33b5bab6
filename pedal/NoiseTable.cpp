#include "NoiseTable.h"

#include <bit>

namespace mg {

std::atomic<std::uint32_t> noiseSeed{1};

namespace {

// Walks the sequence from `seed`, writing the table; returns the last seed.
std::uint32_t WalkFrom(std::uint32_t seed, double* table)
{
    float r = 0.0f;
    for (int i = 0; i < kNoiseTableSize; ++i) {
        seed = seed * 1234567u + 890123u;
        // Sign from the seed's top bit, exponent field 60, seven mantissa bits:
        // a magnitude between 2^-67 and about 1.35e-20.
        const float n = std::bit_cast<float>((seed & 0x9E7F0000u) | 0x1E000000u);
        r = r + n;
        table[i] = static_cast<double>(r);
    }
    return seed;
}

} // namespace

void FillNoiseTable(double* table)
{
    // Two instances resetting at once each take a run of the sequence of
    // their own: whoever loses the exchange walks again from the new seed.
    std::uint32_t seed = noiseSeed.load(std::memory_order_relaxed);
    for (;;) {
        const std::uint32_t next = WalkFrom(seed, table);
        if (noiseSeed.compare_exchange_weak(seed, next, std::memory_order_relaxed)) return;
    }
}

} // namespace mg
