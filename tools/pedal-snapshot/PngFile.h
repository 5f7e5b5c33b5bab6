#pragma once
// Editor pictures to and from PNG files, for the snapshot tool and tests.
#include <memory>
#include <string>

#include "raster/IBitmap.h"
#include "raster/IMemoryBitmap.h"

namespace mg::snapshot {

// Writes the bitmap as an 8-bit RGB PNG (the editor's surface is opaque; its
// alpha byte carries no meaning). False with a message on failure.
bool WritePngFile(const IBitmap& bitmap, const std::string& path, std::string& error);

// Reads a PNG file into a bitmap; null with a message on failure.
std::unique_ptr<IMemoryBitmap> ReadPngFile(const std::string& path, std::string& error);

} // namespace mg::snapshot
