#include "raster/DecodeImage.h"

#include <cstring>

#include "raster/JpegDecoder.h"
#include "raster/PngDecoder.h"

namespace mg {

namespace {

bool SameTextNoCase(const char* a, const char* b)
{
    for (; *a && *b; ++a, ++b) {
        const char ca = (*a >= 'A' && *a <= 'Z') ? static_cast<char>(*a - 'A' + 'a') : *a;
        if (ca != *b) return false;
    }
    return *a == *b;
}

} // namespace

std::unique_ptr<IMemoryBitmap> DecodeImageByName(ModuleHandle module, int id, const char* fileName)
{
    if (!fileName) return nullptr;
    const char* dot = std::strrchr(fileName, '.');
    if (!dot) return nullptr;
    const char* ext = dot + 1;
    if (SameTextNoCase(ext, "png")) return LoadPngResource(module, id);
    if (SameTextNoCase(ext, "jpg") || SameTextNoCase(ext, "jpeg")) return LoadJpegResource(module, id);
    return nullptr;
}

} // namespace mg
