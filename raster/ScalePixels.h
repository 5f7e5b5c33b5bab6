#pragma once
// A resized copy of a bitmap.
#include <memory>

#include "raster/IBitmap.h"
#include "raster/IMemoryBitmap.h"

namespace mg {

// A new width x height bitmap in which each pixel is the source pixel under
// its centre, copied as it is, alpha included (no filtering: a whole-number
// enlargement repeats every pixel, so twice the size doubles each pixel
// both ways). Null when either size is 0 or less, the source has no pixels,
// or the memory cannot be had.
std::unique_ptr<IMemoryBitmap> ScalePixels(const IBitmap& src, int width, int height);

} // namespace mg
