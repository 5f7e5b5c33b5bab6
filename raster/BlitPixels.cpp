#include "raster/BlitPixels.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>

#include "raster/PixelRows.h"
#include "raster/PixelRule.h"

namespace mg {

namespace {

struct Span {
    int destX, destY, srcX, srcY, width, height;
};

template <class PixelRule>
void ForEachPixel(IBitmap& dest, const IBitmap& src, const Span& s, PixelRule rule)
{
    for (int y = 0; y < s.height; ++y) {
        std::uint32_t* d = RowOf(dest, s.destY + y) + s.destX;
        const std::uint32_t* p = RowOf(src, s.srcY + y) + s.srcX;
        for (int x = 0; x < s.width; ++x) d[x] = rule(d[x], p[x]);
    }
}

// Clips the copy to both bitmaps. Works in 64 bits so that extreme
// coordinates cannot overflow; false when nothing is left to copy.
bool Clip(const IBitmap& dest, const IBitmap& src, int destX, int destY, const PixelRect* source, Span& out)
{
    std::int64_t dx = destX, dy = destY;
    std::int64_t left = 0, top = 0, right = src.Width(), bottom = src.Height();
    if (source) {
        left = source->left;
        top = source->top;
        right = std::min<std::int64_t>(source->right, src.Width());
        bottom = std::min<std::int64_t>(source->bottom, src.Height());
    }
    if (left < 0) {
        dx -= left;
        left = 0;
    }
    if (top < 0) {
        dy -= top;
        top = 0;
    }
    if (dx < 0) {
        left -= dx;
        dx = 0;
    }
    if (dy < 0) {
        top -= dy;
        dy = 0;
    }
    right = std::min<std::int64_t>(right, left + (dest.Width() - dx));
    bottom = std::min<std::int64_t>(bottom, top + (dest.Height() - dy));
    if (right - left <= 0 || bottom - top <= 0) return false;
    // Everything is now inside both bitmaps, so it fits in int again.
    out = {static_cast<int>(dx), static_cast<int>(dy), static_cast<int>(left), static_cast<int>(top),
           static_cast<int>(right - left), static_cast<int>(bottom - top)};
    return true;
}

} // namespace

void BlitPixels(IBitmap& dest, const IBitmap& src, int destX, int destY, const PixelRect* source, float weight,
                PixelMode mode)
{
    if (!(weight > 0.0f)) return;
    if (weight > 1.0f) weight = 1.0f;

    Span s{};
    if (!Clip(dest, src, destX, destY, source, s)) return;
    if (!dest.Pixels() || !src.Pixels()) return;

    if (mode == kPixelOverwrite && weight == 1.0f) {
        // memmove: a bitmap copied onto itself stays defined row by row.
        const std::size_t bytes = static_cast<std::size_t>(s.width) * 4;
        for (int y = 0; y < s.height; ++y)
            std::memmove(RowOf(dest, s.destY + y) + s.destX, RowOf(src, s.srcY + y) + s.srcX, bytes);
        return;
    }
    WithPixelRule(mode, weight, [&](auto rule) { ForEachPixel(dest, src, s, rule); });
}

} // namespace mg
