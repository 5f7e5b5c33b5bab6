#pragma once
// A rectangle in bitmap pixels, right and bottom exclusive, and the clipping
// every pixel operation starts from.
#include <algorithm>

#include "raster/IBitmap.h"

namespace mg {

struct PixelRect {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;

    constexpr int Width() const { return right - left; }
    constexpr int Height() const { return bottom - top; }
    // No pixel inside (a zero or negative width or height).
    constexpr bool IsEmpty() const { return right <= left || bottom <= top; }
    constexpr bool Contains(long long x, long long y) const
    {
        return left <= x && x < right && top <= y && y < bottom;
    }
    constexpr PixelRect Intersect(const PixelRect& o) const
    {
        return {std::max(left, o.left), std::max(top, o.top), std::min(right, o.right), std::min(bottom, o.bottom)};
    }

    friend constexpr bool operator==(const PixelRect&, const PixelRect&) = default;
};

inline PixelRect BoundsOf(const IBitmap& b)
{
    return {0, 0, b.Width(), b.Height()};
}

} // namespace mg
