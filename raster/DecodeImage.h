#pragma once
// Decoding an image resource chosen by its file name's extension.
#include <memory>

#include "raster/IMemoryBitmap.h"
#include "raster/Resources.h"

namespace mg {

// The text after the last "." decides, without regard to case: "png" reads
// the "PNG" resource `id`, "jpg" or "jpeg" the "JPG" resource; any other
// name (or none) gives null, as does a resource that does not decode.
std::unique_ptr<IMemoryBitmap> DecodeImageByName(ModuleHandle module, int id, const char* fileName);

} // namespace mg
