#pragma once
// Byte counts of a width x height block of 32-bit pixels, safe against overflow.
#include <cstddef>
#include <cstdint>

namespace mg {

// 0 when a side is zero or negative: such a size holds no pixels. Otherwise
// width x height x `bytesPerPixel` (4 exact, 5 for a quarter more), or
// SIZE_MAX when that exceeds PTRDIFF_MAX: no block that large can be indexed,
// so it is never asked of the allocator.
inline std::size_t PixelBytes(int width, int height, unsigned bytesPerPixel = 4)
{
    if (width <= 0 || height <= 0) return 0;
    // Both sides are below 2^31, so the pixel count fits in 62 bits.
    const std::uint64_t pixels = static_cast<std::uint64_t>(width) * static_cast<std::uint64_t>(height);
    if (pixels > static_cast<std::uint64_t>(PTRDIFF_MAX) / bytesPerPixel) return SIZE_MAX;
    return static_cast<std::size_t>(pixels * bytesPerPixel);
}

} // namespace mg
