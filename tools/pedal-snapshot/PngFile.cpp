#include "PngFile.h"

#include <png.h>

#include <csetjmp>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <vector>

#include "raster/PngDecoder.h"

namespace mg::snapshot {

namespace {

struct FileCloser {
    void operator()(std::FILE* f) const
    {
        if (f) std::fclose(f);
    }
};

} // namespace

bool WritePngFile(const IBitmap& bitmap, const std::string& path, std::string& error)
{
    const int width = bitmap.Width();
    const int height = bitmap.Height();
    const std::uint32_t* pixels = bitmap.Pixels();
    if (!pixels || width <= 0 || height <= 0) {
        error = "nothing to write: the surface is empty";
        return false;
    }
    std::unique_ptr<std::FILE, FileCloser> file(std::fopen(path.c_str(), "wb"));
    if (!file) {
        error = "cannot write " + path;
        return false;
    }
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png ? png_create_info_struct(png) : nullptr;
    if (!info) {
        png_destroy_write_struct(&png, nullptr);
        error = "out of memory";
        return false;
    }
    std::vector<png_byte> row(static_cast<std::size_t>(width) * 3);
    if (setjmp(png_jmpbuf(png))) {
        png_destroy_write_struct(&png, &info);
        error = "PNG encoding failed for " + path;
        return false;
    }
    png_init_io(png, file.get());
    png_set_IHDR(png, info, static_cast<png_uint_32>(width), static_cast<png_uint_32>(height), 8,
                 PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    png_write_info(png, info);
    const int span = bitmap.RowSpan();
    for (int y = 0; y < height; ++y) {
        const int stored = bitmap.Flipped() ? height - 1 - y : y;
        const std::uint32_t* src = pixels + static_cast<std::size_t>(stored) * static_cast<std::size_t>(span);
        for (int x = 0; x < width; ++x) {
            row[static_cast<std::size_t>(x) * 3 + 0] = static_cast<png_byte>(src[x] >> 16);
            row[static_cast<std::size_t>(x) * 3 + 1] = static_cast<png_byte>(src[x] >> 8);
            row[static_cast<std::size_t>(x) * 3 + 2] = static_cast<png_byte>(src[x]);
        }
        png_write_row(png, row.data());
    }
    png_write_end(png, nullptr);
    png_destroy_write_struct(&png, &info);
    return true;
}

std::unique_ptr<IMemoryBitmap> ReadPngFile(const std::string& path, std::string& error)
{
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        error = "cannot read " + path;
        return nullptr;
    }
    const std::vector<unsigned char> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    auto bitmap = DecodePng(ResourceBytes{bytes.data(), bytes.size()});
    if (!bitmap) error = path + " is not a PNG image we can read";
    return bitmap;
}

} // namespace mg::snapshot
