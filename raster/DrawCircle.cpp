#include "raster/DrawCircle.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <numbers>

#include "raster/Degrees.h"

namespace mg {

namespace {

// sqrt(v) rounded to nearest, exactly, for v < 2^62.
std::int64_t RoundedSqrt(std::uint64_t v)
{
    auto y = static_cast<std::uint64_t>(std::sqrt(static_cast<double>(v)));
    while (y > 0 && y * y > v) --y;
    while ((y + 1) * (y + 1) <= v) ++y;
    // sqrt(v) > y + 1/2 exactly when v >= y^2 + y + 1, v being whole.
    if (v - y * y > y) ++y;
    return static_cast<std::int64_t>(y);
}

struct Range {
    std::int64_t lo, hi;
};

// Calls visit(dx, dy) once for every pixel offset of the circle that the
// clip could hold. The octant 0 <= x <= y gives y for each x; its eight
// mirror images make the circle. Only the x that put some image inside the
// clip are walked.
template <class Visit>
void ForEachCirclePixel(const PixelRect& clip, std::int64_t cx, std::int64_t cy, std::int64_t r, Visit visit)
{
    if (r < 0) return;
    // x is a column offset of some images and a row offset of the others.
    std::array<Range, 4> ranges{{{clip.left - cx, clip.right - 1 - cx},
                                 {cx - (clip.right - 1), cx - clip.left},
                                 {clip.top - cy, clip.bottom - 1 - cy},
                                 {cy - (clip.bottom - 1), cy - clip.top}}};
    std::sort(ranges.begin(), ranges.end(), [](const Range& a, const Range& b) { return a.lo < b.lo; });

    const auto r2 = static_cast<std::uint64_t>(r) * static_cast<std::uint64_t>(r);
    std::int64_t next = 0; // first x not walked yet, so overlapping ranges walk it once
    for (const Range& range : ranges) {
        for (std::int64_t x = std::max(range.lo, next); x <= std::min(range.hi, r); ++x) {
            const std::int64_t y = RoundedSqrt(r2 - static_cast<std::uint64_t>(x * x));
            if (x > y) return; // past the octant; larger x only go further
            const std::array<std::array<std::int64_t, 2>, 8> images{
                {{x, -y}, {y, -x}, {y, x}, {x, y}, {-x, y}, {-y, x}, {-y, -x}, {-x, -y}}};
            for (std::size_t i = 0; i < images.size(); ++i) {
                // On the axes and the diagonals images coincide.
                if (std::find(images.begin(), images.begin() + static_cast<std::ptrdiff_t>(i), images[i]) !=
                    images.begin() + static_cast<std::ptrdiff_t>(i))
                    continue;
                visit(images[i][0], images[i][1]);
            }
        }
        next = std::max(next, range.hi + 1);
    }
}

} // namespace

void DrawCircle(IBitmap& dest, const PixelRect& clip, const PixelPaint& paint, int cx, int cy, int radius)
{
    DrawWithPen(dest, clip, paint, [&](const auto& pen) {
        ForEachCirclePixel(pen.Clip(), cx, cy, radius,
                           [&](std::int64_t dx, std::int64_t dy) { pen.Plot(cx + dx, cy + dy); });
    });
}

void DrawArc(IBitmap& dest, const PixelRect& clip, const PixelPaint& paint, int cx, int cy, int radius,
             double startDegrees, double endDegrees)
{
    if (!std::isfinite(startDegrees) || !std::isfinite(endDegrees)) return;
    const bool whole = endDegrees - startDegrees >= 360.0;
    const double start = WrappedDegrees(startDegrees);
    const double sweep = WrappedDegrees(endDegrees - startDegrees);
    // Pixels exactly at an end direction must not fall out by rounding.
    constexpr double kSlack = 1e-9;
    auto inArc = [&](std::int64_t dx, std::int64_t dy) {
        if (whole || (dx == 0 && dy == 0)) return true;
        const double angle =
            std::atan2(static_cast<double>(dx), static_cast<double>(-dy)) * (180.0 / std::numbers::pi);
        const double fromStart = WrappedDegrees(angle - start);
        return fromStart <= sweep + kSlack || fromStart >= 360.0 - kSlack;
    };
    DrawWithPen(dest, clip, paint, [&](const auto& pen) {
        ForEachCirclePixel(pen.Clip(), cx, cy, radius, [&](std::int64_t dx, std::int64_t dy) {
            if (inArc(dx, dy)) pen.Plot(cx + dx, cy + dy);
        });
    });
}

} // namespace mg
