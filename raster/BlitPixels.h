#pragma once
// Copies a rectangle of one bitmap onto another, clipped to both.
#include "raster/IBitmap.h"
#include "raster/PixelMode.h"
#include "raster/PixelRect.h"

namespace mg {

// Puts `source` (the whole source bitmap when null) at (destX, destY) of
// `dest`. `weight` scales the whole source: 1 is normal, 0 (or below, or NaN)
// copies nothing, above 1 counts as 1. Overwrite at weight 1 copies rows as
// they are, alpha included; source-alpha blends leave fully transparent
// source pixels alone. `dest` and `src` may be the same bitmap only when the
// areas do not overlap.
void BlitPixels(IBitmap& dest, const IBitmap& src, int destX, int destY, const PixelRect* source, float weight,
                PixelMode mode);

} // namespace mg
