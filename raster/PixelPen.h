#pragma once
// Drawing in one colour: what to draw with, and a pen that puts single
// pixels through the chosen pixel rule and drops those outside its clip.
// Shapes are aliased: a pixel is drawn at full strength or not at all, so
// results are exact and a pixel drawn once is never blended twice.
#include <cstdint>

#include "raster/IBitmap.h"
#include "raster/PixelMode.h"
#include "raster/PixelRect.h"
#include "raster/PixelRows.h"
#include "raster/PixelRule.h"

namespace mg {

// A colour (0xAARRGGBB, straight alpha) and how it meets the destination,
// with the same meaning as a blit's mode and weight.
struct PixelPaint {
    std::uint32_t colour = 0xFF000000u;
    PixelMode mode = kPixelSourceAlphaBlend;
    float weight = 1.0f;
};

template <class Rule>
class PixelPen {
public:
    PixelPen(IBitmap& dest, const PixelRect& clip, std::uint32_t colour, Rule rule)
        : dest_(dest), clip_(clip), colour_(colour), rule_(rule)
    {
    }

    // Inside the bitmap and the caller's clip.
    const PixelRect& Clip() const { return clip_; }

    // Coordinates are wide so that shapes may compute them far outside.
    void Plot(long long x, long long y) const
    {
        if (!clip_.Contains(x, y)) return;
        std::uint32_t& d = RowOf(dest_, static_cast<int>(y))[x];
        d = rule_(d, colour_);
    }

private:
    IBitmap& dest_;
    PixelRect clip_;
    std::uint32_t colour_;
    Rule rule_;
};

// Hands `draw` a pen limited to `clip` and the bitmap; does nothing when no
// pixel could be drawn (empty clip, no pixels, a weight that draws nothing).
template <class Draw>
void DrawWithPen(IBitmap& dest, const PixelRect& clip, const PixelPaint& paint, Draw&& draw)
{
    const PixelRect area = clip.Intersect(BoundsOf(dest));
    if (area.IsEmpty() || !dest.Pixels()) return;
    WithPixelRule(paint.mode, paint.weight,
                  [&](auto rule) { draw(PixelPen<decltype(rule)>(dest, area, paint.colour, rule)); });
}

} // namespace mg
