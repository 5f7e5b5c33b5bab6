#pragma once
// Circles and circular arcs one pixel wide, in one colour, limited to `clip`
// and the bitmap.
#include "raster/IBitmap.h"
#include "raster/PixelPen.h"
#include "raster/PixelRect.h"

namespace mg {

// The pixels at offsets (x, y) from the centre pixel nearest to the circle
// of that radius (per column or row, whichever the curve crosses faster),
// each drawn once. Radius 0 is the centre pixel; a negative radius draws
// nothing. Only offsets that can reach the clip are walked, so a huge circle
// costs no more than one crossing the bitmap.
void DrawCircle(IBitmap& dest, const PixelRect& clip, const PixelPaint& paint, int cx, int cy, int radius);

// The circle's pixels from `startDegrees` clockwise to `endDegrees`, angles
// measured clockwise from straight up (12 o'clock), as a knob turns. Both
// end directions are included; an end below the start wraps past 12 o'clock
// (300 to 60 is the top third), and a sweep of 360 degrees or more is the
// whole circle. A non-finite angle draws nothing.
void DrawArc(IBitmap& dest, const PixelRect& clip, const PixelPaint& paint, int cx, int cy, int radius,
             double startDegrees, double endDegrees);

} // namespace mg
