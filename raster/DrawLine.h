#pragma once
// Straight lines one pixel wide, in one colour, limited to `clip` and the
// bitmap.
#include "raster/IBitmap.h"
#include "raster/PixelPen.h"
#include "raster/PixelRect.h"

namespace mg {

// Both end pixels are drawn, and every pixel between them once: one pixel
// per step along the longer axis, the nearest to the exact line (a tie goes
// to the larger coordinate). The same pixels either way round. Only the part
// inside the clip is walked, so end points far outside cost nothing extra.
void DrawLine(IBitmap& dest, const PixelRect& clip, const PixelPaint& paint, int x0, int y0, int x1, int y1);

} // namespace mg
