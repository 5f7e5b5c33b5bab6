#include "raster/PngDecoder.h"

#include <png.h>

#include <csetjmp>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <new>

#include "raster/ImageLimits.h"

namespace mg {

namespace {

struct MemoryReader {
    const unsigned char* data;
    std::size_t size;
    std::size_t pos;
};

// A read past the end is an error. Handing out zeros instead let a chunk
// that claims two gigabytes near the end of a short resource have libpng
// checksum two gigabytes of invented zeros before it failed.
void ReadFromMemory(png_structp png, png_bytep out, std::size_t count)
{
    auto* reader = static_cast<MemoryReader*>(png_get_io_ptr(png));
    if (count > reader->size - reader->pos) png_error(png, "image data ends early");
    std::memcpy(out, reader->data + reader->pos, count);
    reader->pos += count;
}

// Errors return to the recovery point in Decode; nothing is printed, since a
// bad resource is reported to the caller as a null bitmap.
[[noreturn]] void OnPngError(png_structp png, png_const_charp)
{
    png_longjmp(png, 1);
}

void OnPngWarning(png_structp, png_const_charp) {}

// Deflate cannot expand data by more than 1032:1, so an image whose raw
// rows need more than that from the bytes we have is lying about its size.
bool FitsCompressedSize(std::uint64_t rawBytes, std::size_t available)
{
    return rawBytes / 1032 <= static_cast<std::uint64_t>(available) + 1024;
}

// Everything the decode touches lives here, outside the frame that calls
// setjmp, so the cleanup after a longjmp sees current values.
struct PngJob {
    MemoryReader reader{};
    png_structp png = nullptr;
    png_infop info = nullptr;
    png_bytepp rows = nullptr;
    IMemoryBitmap* target = nullptr;
};

// Asks libpng for 8-bit A,R,G,B bytes whatever the stored format.
void RequestArgb(png_structp png, png_infop info, int bitDepth, int colorType)
{
    const bool hasTrns = png_get_valid(png, info, PNG_INFO_tRNS) != 0;
    const bool hasAlpha = (colorType & PNG_COLOR_MASK_ALPHA) != 0 || hasTrns;
    if (colorType == PNG_COLOR_TYPE_PALETTE) png_set_palette_to_rgb(png);
    if (colorType == PNG_COLOR_TYPE_GRAY && bitDepth < 8) png_set_expand_gray_1_2_4_to_8(png);
    if (hasTrns) png_set_tRNS_to_alpha(png);
    if (bitDepth == 16) png_set_strip_16(png);
    if (bitDepth < 8) png_set_packing(png);
    if ((colorType & PNG_COLOR_MASK_COLOR) == 0) png_set_gray_to_rgb(png);
    if (hasAlpha) {
        png_set_swap_alpha(png);
    } else {
        png_set_filler(png, 0xFF, PNG_FILLER_BEFORE);
    }
    png_set_interlace_handling(png);
}

// No object with a destructor may live in this frame: libpng leaves it by
// longjmp on any error.
bool Decode(PngJob& job)
{
    if (setjmp(png_jmpbuf(job.png))) return false;

    png_set_read_fn(job.png, &job.reader, ReadFromMemory);
    png_set_user_limits(job.png, kMaxImageSide, kMaxImageSide);
    png_set_chunk_cache_max(job.png, 128);
    png_set_chunk_malloc_max(job.png, 8u << 20);
    // Only the chunks that shape the pixels are read. libpng would allocate
    // a text or profile chunk's whole claimed length before reading it, so
    // a few hostile bytes could ask for two gigabytes; skipped chunks are
    // read past in small pieces and fail where the data ends.
    static constexpr png_byte kIgnored[] = "tEXt\0zTXt\0iTXt\0iCCP\0sPLT\0eXIf\0pCAL\0sCAL\0tIME\0hIST\0"
                                           "oFFs\0pHYs\0sBIT\0bKGD\0cHRM\0sRGB\0gAMA";
    png_set_keep_unknown_chunks(job.png, PNG_HANDLE_CHUNK_NEVER, nullptr, 0);
    png_set_keep_unknown_chunks(job.png, PNG_HANDLE_CHUNK_NEVER, kIgnored, 17);
    png_read_info(job.png, job.info);

    const png_uint_32 width = png_get_image_width(job.png, job.info);
    const png_uint_32 height = png_get_image_height(job.png, job.info);
    if (!ImageSizeAllowed(width, height)) return false;
    const std::uint64_t rawBytes = std::uint64_t{height} * (png_get_rowbytes(job.png, job.info) + 1);
    if (!FitsCompressedSize(rawBytes, job.reader.size)) return false;

    RequestArgb(job.png, job.info, png_get_bit_depth(job.png, job.info), png_get_color_type(job.png, job.info));
    png_read_update_info(job.png, job.info);
    // Our rows hold exactly four bytes a pixel; anything else would overrun.
    if (png_get_bit_depth(job.png, job.info) != 8 || png_get_channels(job.png, job.info) != 4 ||
        png_get_rowbytes(job.png, job.info) != std::size_t{width} * 4) {
        return false;
    }

    IMemoryBitmap& bitmap = *job.target;
    bitmap.Resize(static_cast<int>(width), static_cast<int>(height));
    if (!bitmap.Pixels() || bitmap.Width() != static_cast<int>(width) ||
        bitmap.Height() != static_cast<int>(height)) {
        return false;
    }
    job.rows = static_cast<png_bytepp>(std::malloc(sizeof(png_bytep) * height));
    if (!job.rows) return false;
    for (png_uint_32 y = 0; y < height; ++y) {
        job.rows[y] = reinterpret_cast<png_bytep>(bitmap.Pixels() + std::size_t{y} * bitmap.RowSpan());
    }
    png_read_image(job.png, job.rows);

    // Bytes A,R,G,B in memory to one native 0xAARRGGBB word each.
    for (png_uint_32 y = 0; y < height; ++y) {
        std::uint32_t* row = bitmap.Pixels() + std::size_t{y} * bitmap.RowSpan();
        for (png_uint_32 x = 0; x < width; ++x) {
            unsigned char b[4];
            std::memcpy(b, row + x, 4);
            row[x] = std::uint32_t{b[0]} << 24 | std::uint32_t{b[1]} << 16 | std::uint32_t{b[2]} << 8 | b[3];
        }
    }
    return true;
}

} // namespace

bool DecodePng(ResourceBytes png, IMemoryBitmap& target)
{
    if (png.Empty() || png.size < 8 || png_sig_cmp(png.data, 0, 8) != 0) return false;

    PngJob job;
    job.reader = {png.data, png.size, 0};
    job.target = &target;
    job.png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, OnPngError, OnPngWarning);
    if (!job.png) return false;
    job.info = png_create_info_struct(job.png);
    const bool ok = job.info && Decode(job);
    png_destroy_read_struct(&job.png, job.info ? &job.info : nullptr, nullptr);
    std::free(job.rows);
    return ok;
}

std::unique_ptr<IMemoryBitmap> DecodePng(ResourceBytes png)
{
    std::unique_ptr<IMemoryBitmap> bitmap(new (std::nothrow) IMemoryBitmap());
    if (!bitmap || !DecodePng(png, *bitmap)) return nullptr;
    return bitmap;
}

std::unique_ptr<IMemoryBitmap> LoadPngResource(ModuleHandle module, int id)
{
    return DecodePng(FindResourceBytes(module, id, "PNG"));
}

bool LoadPngResource(ModuleHandle module, int id, IMemoryBitmap& target)
{
    return DecodePng(FindResourceBytes(module, id, "PNG"), target);
}

} // namespace mg
