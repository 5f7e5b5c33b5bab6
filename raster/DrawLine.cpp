#include "raster/DrawLine.h"

#include <algorithm>
#include <cstdint>
#include <utility>

namespace mg {

namespace {

// t * n / d rounded to nearest, ties upwards, for 0 <= t <= d, |n| <= d,
// 0 < d < 2^32: exact, and the product cannot overflow in unsigned 64 bits.
std::int64_t RoundedShare(std::int64_t t, std::int64_t n, std::int64_t d)
{
    const std::uint64_t product = static_cast<std::uint64_t>(t) * static_cast<std::uint64_t>(n < 0 ? -n : n);
    const auto q = static_cast<std::int64_t>(product / static_cast<std::uint64_t>(d));
    const auto twiceRest = static_cast<std::int64_t>(product % static_cast<std::uint64_t>(d)) * 2;
    if (n >= 0) return q + (twiceRest >= d ? 1 : 0);
    return -q - (twiceRest > d ? 1 : 0);
}

// Walks the longer axis ("major") from a0 to a1 (a0 <= a1) inside
// [lo, hi], plotting (major, minor) through `plot`.
template <class Plot>
void Walk(std::int64_t a0, std::int64_t b0, std::int64_t a1, std::int64_t b1, std::int64_t lo, std::int64_t hi,
          Plot plot)
{
    const std::int64_t da = a1 - a0;
    const std::int64_t db = b1 - b0;
    if (da == 0) {
        if (lo <= a0 && a0 <= hi) plot(a0, b0);
        return;
    }
    for (std::int64_t a = std::max(a0, lo); a <= std::min(a1, hi); ++a) plot(a, b0 + RoundedShare(a - a0, db, da));
}

} // namespace

void DrawLine(IBitmap& dest, const PixelRect& clip, const PixelPaint& paint, int x0, int y0, int x1, int y1)
{
    DrawWithPen(dest, clip, paint, [&](const auto& pen) {
        const std::int64_t dx = std::int64_t{x1} - x0;
        const std::int64_t dy = std::int64_t{y1} - y0;
        const PixelRect& c = pen.Clip();
        if ((dx < 0 ? -dx : dx) >= (dy < 0 ? -dy : dy)) {
            if (dx < 0) {
                std::swap(x0, x1);
                std::swap(y0, y1);
            }
            Walk(x0, y0, x1, y1, c.left, c.right - 1, [&](std::int64_t x, std::int64_t y) { pen.Plot(x, y); });
        } else {
            if (dy < 0) {
                std::swap(x0, x1);
                std::swap(y0, y1);
            }
            Walk(y0, x0, y1, x1, c.top, c.bottom - 1, [&](std::int64_t y, std::int64_t x) { pen.Plot(x, y); });
        }
    });
}

} // namespace mg
