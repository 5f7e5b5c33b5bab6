#pragma once
// Drawing a part of a bitmap turned about its centre.
#include "raster/IBitmap.h"
#include "raster/IMemoryBitmap.h"
#include "raster/PixelMode.h"
#include "raster/PixelRect.h"

namespace mg {

// Draws `sourceArea` of `src` turned clockwise by `degrees` about its
// centre, with that centre on the centre of `destArea`, into the pixels of
// `destArea` inside `clip` and the bitmap. Each destination pixel takes the
// source pixel under its centre (no filtering: edges stay hard, and quarter
// turns move pixels exactly, so a quarter turn into a rectangle of the
// turned size is a transpose mirrored left to right). Destination pixels
// that the turned area does not cover are left alone; covered ones are
// combined as a blit with `mode` and `weight` combines them. A non-finite
// angle draws nothing.
void RotatePixels(IBitmap& dest, const PixelRect& destArea, const PixelRect& clip, const IBitmap& src,
                  const PixelRect& sourceArea, double degrees, PixelMode mode, float weight);

// As RotatePixels, seen through a stencil that does not turn: the alpha of
// `maskArea` of `mask`, laid with its top-left on `destArea`'s, says how
// much of the turned drawing shows at each pixel (255 all, 0 none; outside
// the mask none). `scratch` holds the drawing before it is mixed in; it is
// resized as needed and its content is not kept.
void RotateMaskedPixels(IBitmap& dest, const PixelRect& destArea, const PixelRect& clip, const IBitmap& src,
                        const PixelRect& sourceArea, const IBitmap& mask, const PixelRect& maskArea,
                        double degrees, PixelMode mode, float weight, IMemoryBitmap& scratch);

} // namespace mg
