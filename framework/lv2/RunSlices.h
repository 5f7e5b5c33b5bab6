#pragma once
// A run of any length cut into slices the scratch buffers hold. The walk
// counts down what is left rather than up to the run's length: a count up
// in 32 bits would wrap past 2^32 for runs within a slice of it, and never end.
#include <algorithm>
#include <cstdint>

namespace mg {

// Calls render(offset, frames) for consecutive slices of at most `slice`
// frames (slice > 0) that together cover `frames`.
template <class Render>
void ForEachSlice(std::uint32_t frames, std::uint32_t slice, Render&& render)
{
    std::uint32_t offset = 0;
    for (std::uint32_t left = frames; left > 0;) {
        const std::uint32_t count = std::min(left, slice);
        render(offset, count);
        offset += count;
        left -= count;
    }
}

} // namespace mg
