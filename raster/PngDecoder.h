#pragma once
// PNG images to 0xAARRGGBB bitmaps (straight alpha, no colour correction).
//
// Every colour type comes out as full ARGB: palette and grey are expanded to
// RGB, a transparency chunk becomes an alpha channel, images without alpha
// get alpha 255, 16-bit channels keep their high byte. Interlaced images are
// de-interlaced. Damaged, truncated or oversized data yields failure, never a
// read outside the given bytes.
#include <memory>

#include "raster/IMemoryBitmap.h"
#include "raster/Resources.h"

namespace mg {

// A new bitmap owned by the caller, or null.
std::unique_ptr<IMemoryBitmap> DecodePng(ResourceBytes png);
// Decodes into `target`, which is resized to the image; false on failure
// (the target's size and content are then unspecified).
bool DecodePng(ResourceBytes png, IMemoryBitmap& target);

// The same for the resource of type "PNG" with numeric `id` in `module`.
std::unique_ptr<IMemoryBitmap> LoadPngResource(ModuleHandle module, int id);
bool LoadPngResource(ModuleHandle module, int id, IMemoryBitmap& target);

} // namespace mg
