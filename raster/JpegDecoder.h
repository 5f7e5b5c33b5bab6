#pragma once
// JPEG images to 0xFFRRGGBB bitmaps. Colour and greyscale JPEGs decode;
// damaged or truncated data (anything libjpeg warns about), CMYK images and
// oversized headers yield failure.
#include <memory>

#include "raster/IMemoryBitmap.h"
#include "raster/Resources.h"

namespace mg {

// A new bitmap owned by the caller, or null.
std::unique_ptr<IMemoryBitmap> DecodeJpeg(ResourceBytes jpeg);
// Decodes into `target`, which is resized to the image; false on failure.
bool DecodeJpeg(ResourceBytes jpeg, IMemoryBitmap& target);

// The same for the resource of type "JPG" with numeric `id` in `module`.
std::unique_ptr<IMemoryBitmap> LoadJpegResource(ModuleHandle module, int id);
bool LoadJpegResource(ModuleHandle module, int id, IMemoryBitmap& target);

} // namespace mg
