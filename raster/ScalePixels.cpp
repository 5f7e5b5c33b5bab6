#include "raster/ScalePixels.h"

#include <cstdint>
#include <vector>

#include "raster/PixelRows.h"

namespace mg {

namespace {

// The source index under the centre of destination index i: floor((i + 1/2)
// * from / to), in integers. (2i + 1) < 2^32 and from < 2^31, so the product
// fits in 64 bits.
int SourceIndex(int i, int from, int to)
{
    return static_cast<int>((2 * std::int64_t{i} + 1) * from / (2 * std::int64_t{to}));
}

} // namespace

std::unique_ptr<IMemoryBitmap> ScalePixels(const IBitmap& src, int width, int height)
{
    if (width <= 0 || height <= 0 || !src.Pixels() || src.Width() <= 0 || src.Height() <= 0) return nullptr;
    auto copy = std::make_unique<IMemoryBitmap>(width, height);
    if (!copy->Pixels()) return nullptr;
    std::vector<int> columns(static_cast<std::size_t>(width));
    for (int x = 0; x < width; ++x) columns[static_cast<std::size_t>(x)] = SourceIndex(x, src.Width(), width);
    for (int y = 0; y < height; ++y) {
        const std::uint32_t* from = RowOf(src, SourceIndex(y, src.Height(), height));
        std::uint32_t* to = RowOf(*copy, y);
        for (int x = 0; x < width; ++x) to[x] = from[columns[static_cast<std::size_t>(x)]];
    }
    return copy;
}

} // namespace mg
