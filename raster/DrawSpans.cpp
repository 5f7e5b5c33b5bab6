#include "raster/DrawSpans.h"

#include <algorithm>

namespace mg {

bool PlotPixel(IBitmap& dest, const PixelRect& clip, const PixelPaint& paint, int x, int y)
{
    bool drawn = false;
    DrawWithPen(dest, clip, paint, [&](const auto& pen) {
        drawn = pen.Clip().Contains(x, y);
        pen.Plot(x, y);
    });
    return drawn;
}

// Only the part inside the clip is walked, so a span of any length costs at
// most one row or column of the bitmap.
void DrawHorizontalSpan(IBitmap& dest, const PixelRect& clip, const PixelPaint& paint, int y, int x1, int x2)
{
    DrawWithPen(dest, clip, paint, [&](const auto& pen) {
        const int first = std::max(std::min(x1, x2), pen.Clip().left);
        const int last = std::min(std::max(x1, x2), pen.Clip().right - 1);
        for (int x = first; x <= last; ++x) pen.Plot(x, y);
    });
}

void DrawVerticalSpan(IBitmap& dest, const PixelRect& clip, const PixelPaint& paint, int x, int y1, int y2)
{
    DrawWithPen(dest, clip, paint, [&](const auto& pen) {
        const int first = std::max(std::min(y1, y2), pen.Clip().top);
        const int last = std::min(std::max(y1, y2), pen.Clip().bottom - 1);
        for (int y = first; y <= last; ++y) pen.Plot(x, y);
    });
}

} // namespace mg
