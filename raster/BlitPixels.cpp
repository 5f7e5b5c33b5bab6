#include "raster/BlitPixels.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>

#include "raster/BlendPixel.h"

namespace mg {

namespace {

// Row r of a bitmap as the caller sees it; a flipped bitmap stores its rows
// bottom-up.
std::uint32_t* Row(const IBitmap& b, std::uint32_t* pixels, int r)
{
    const int stored = b.Flipped() ? b.Height() - 1 - r : r;
    return pixels + static_cast<std::ptrdiff_t>(stored) * b.RowSpan();
}

struct Span {
    int destX, destY, srcX, srcY, width, height;
};

template <class PixelRule>
void ForEachPixel(IBitmap& dest, std::uint32_t* dp, const IBitmap& src, std::uint32_t* sp, const Span& s,
                  PixelRule rule)
{
    for (int y = 0; y < s.height; ++y) {
        std::uint32_t* d = Row(dest, dp, s.destY + y) + s.destX;
        const std::uint32_t* p = Row(src, sp, s.srcY + y) + s.srcX;
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
    std::uint32_t* dp = dest.Pixels();
    std::uint32_t* sp = src.Pixels();
    if (!dp || !sp) return;

    if (mode.op == PixelOp::Copy && !mode.sourceAlpha) {
        if (weight == 1.0f) {
            // memmove: a bitmap copied onto itself stays defined row by row.
            const std::size_t bytes = static_cast<std::size_t>(s.width) * 4;
            for (int y = 0; y < s.height; ++y) {
                std::memmove(Row(dest, dp, s.destY + y) + s.destX, Row(src, sp, s.srcY + y) + s.srcX, bytes);
            }
            return;
        }
        if (weight == 0.5f) {
            ForEachPixel(dest, dp, src, sp, s, [](std::uint32_t d, std::uint32_t p) { return HalvePixels(d, p); });
            return;
        }
    }

    const int w = static_cast<int>(weight * 256.0f);
    if (w == 0) return;

    switch (mode.op) {
    case PixelOp::Copy:
        if (!mode.sourceAlpha) {
            ForEachPixel(dest, dp, src, sp, s,
                         [w](std::uint32_t d, std::uint32_t p) { return OverwritePixelWeighted(d, p, w); });
        } else if (w == 256) {
            ForEachPixel(dest, dp, src, sp, s, [](std::uint32_t d, std::uint32_t p) { return BlendPixelOpaque(d, p); });
        } else {
            ForEachPixel(dest, dp, src, sp, s,
                         [w](std::uint32_t d, std::uint32_t p) { return BlendPixelWeighted(d, p, w); });
        }
        break;
    case PixelOp::Additive: {
        const bool useAlpha = mode.sourceAlpha;
        ForEachPixel(dest, dp, src, sp, s,
                     [w, useAlpha](std::uint32_t d, std::uint32_t p) { return AddPixel(d, p, w, useAlpha); });
        break;
    }
    case PixelOp::ColourDodge: {
        const bool useAlpha = mode.sourceAlpha;
        ForEachPixel(dest, dp, src, sp, s,
                     [w, useAlpha](std::uint32_t d, std::uint32_t p) { return DodgePixel(d, p, w, useAlpha); });
        break;
    }
    }
}

} // namespace mg
