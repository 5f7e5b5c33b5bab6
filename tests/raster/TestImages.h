#pragma once
// Tiny images made at test time with libpng's and libjpeg's own writers, and
// a resource table to serve them from.
#include <cstdint>
#include <string>
#include <vector>

#include "raster/IBitmap.h"
#include "raster/Resources.h"

namespace mg::test {

using Bytes = std::vector<unsigned char>;

struct PngLayout {
    int width = 1;
    int height = 1;
    int colorType = 0; // PNG_COLOR_TYPE_*
    int bitDepth = 8;
    bool interlaced = false;
    // Raw rows as the file stores them: packed samples, 16-bit big-endian.
    std::vector<Bytes> rows;
    // R,G,B triples for palette images.
    Bytes palette;
    // Palette alphas, or one grey / RGB sample value (16-bit numbers).
    Bytes trnsAlpha;
    std::vector<std::uint16_t> trnsColor;
};

Bytes WritePng(const PngLayout& layout);

// rgb: width x height pixels as 0xRRGGBB (or grey levels when `grey`).
Bytes WriteJpeg(int width, int height, const std::vector<std::uint32_t>& rgb, int quality, bool grey = false);

// Finds chunk `type` (e.g. "IDAT"): offset of its length field, or -1.
long FindChunk(const Bytes& png, const char* type);
// Recomputes the CRC of the chunk at `offset` after its data was edited.
void FixChunkCrc(Bytes& png, long offset);

// Serves byte vectors as resources; keeps them alive.
class ResourceTable {
public:
    void Add(int id, const char* type, Bytes bytes);
    ModuleHandle Module();

private:
    std::vector<std::string> types_;
    std::vector<Bytes> data_;
    std::vector<int> ids_;
    std::vector<EmbeddedResource> entries_;
    ResourceModule module_{};
};

inline std::uint32_t PixelAt(const IBitmap& b, int x, int y)
{
    return b.Pixels()[static_cast<std::size_t>(y) * static_cast<std::size_t>(b.RowSpan()) + static_cast<std::size_t>(x)];
}

} // namespace mg::test
