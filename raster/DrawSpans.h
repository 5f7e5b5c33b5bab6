#pragma once
// Single pixels and straight runs of them, in one colour, limited to `clip`
// and the bitmap. A span includes both of its end pixels, in either order.
#include "raster/IBitmap.h"
#include "raster/PixelPen.h"
#include "raster/PixelRect.h"

namespace mg {

// True when the pixel was inside and the paint's weight drew it.
bool PlotPixel(IBitmap& dest, const PixelRect& clip, const PixelPaint& paint, int x, int y);

void DrawHorizontalSpan(IBitmap& dest, const PixelRect& clip, const PixelPaint& paint, int y, int x1, int x2);
void DrawVerticalSpan(IBitmap& dest, const PixelRect& clip, const PixelPaint& paint, int x, int y1, int y2);

} // namespace mg
