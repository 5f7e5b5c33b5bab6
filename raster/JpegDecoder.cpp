#include "raster/JpegDecoder.h"

// jpeglib.h relies on FILE and size_t being declared before it.
#include <cstddef>
#include <cstdio>
#include <jpeglib.h>

#include <climits>
#include <csetjmp>
#include <cstdint>
#include <new>

#include "raster/ImageLimits.h"

namespace mg {

namespace {

// Progressive files may hold any number of scans, each a full pass over the
// image; real ones have about ten. Many more only burn time.
constexpr int kMaxScans = 256;

// Every scan with DC coefficients spends at least one bit on each 8 x 8
// block of the full-resolution component (a Huffman code is never shorter),
// so data shorter than that for the size the header claims is cut short or
// lies; it is refused before libjpeg and the bitmap allocate for that size.
// Arithmetic coding can go below the bound: no image of ours is that flat.
bool FitsCodedSize(std::uint64_t width, std::uint64_t height, std::size_t available)
{
    const std::uint64_t blocks = ((width + 7) / 8) * ((height + 7) / 8);
    return blocks / 8 <= static_cast<std::uint64_t>(available);
}

struct JpegErrors {
    jpeg_error_mgr mgr; // first, so the error manager pointer is this struct
    std::jmp_buf jump;
};

[[noreturn]] void OnJpegError(j_common_ptr cinfo)
{
    std::longjmp(reinterpret_cast<JpegErrors*>(cinfo->err)->jump, 1);
}

// Level -1 is a warning about damaged data (including premature end of
// data); such an image is not decoded. Trace levels are ignored.
void OnJpegMessage(j_common_ptr cinfo, int level)
{
    if (level < 0) OnJpegError(cinfo);
}

void OnJpegProgress(j_common_ptr cinfo)
{
    if (cinfo->is_decompressor && reinterpret_cast<j_decompress_ptr>(cinfo)->input_scan_number > kMaxScans) {
        OnJpegError(cinfo);
    }
}

// Everything the decode touches lives here, outside the frame that calls
// setjmp, so the cleanup after a longjmp sees current values.
struct JpegJob {
    jpeg_decompress_struct cinfo{};
    JpegErrors errors{};
    jpeg_progress_mgr progress{};
    ResourceBytes bytes;
    IMemoryBitmap* target = nullptr;
};

// No object with a destructor may live in this frame: libjpeg leaves it by
// longjmp on any error.
bool Decode(JpegJob& job)
{
    job.cinfo.err = jpeg_std_error(&job.errors.mgr);
    job.errors.mgr.error_exit = OnJpegError;
    job.errors.mgr.emit_message = OnJpegMessage;
    if (setjmp(job.errors.jump)) return false;

    jpeg_create_decompress(&job.cinfo);
    job.progress.progress_monitor = OnJpegProgress;
    job.cinfo.progress = &job.progress;
    jpeg_mem_src(&job.cinfo, job.bytes.data, static_cast<unsigned long>(job.bytes.size));
    if (jpeg_read_header(&job.cinfo, TRUE) != JPEG_HEADER_OK) return false;
    if (!ImageSizeAllowed(job.cinfo.image_width, job.cinfo.image_height)) return false;
    if (!FitsCodedSize(job.cinfo.image_width, job.cinfo.image_height, job.bytes.size)) return false;
    job.cinfo.out_color_space = JCS_RGB;
    jpeg_start_decompress(&job.cinfo);

    const JDIMENSION width = job.cinfo.output_width;
    const JDIMENSION height = job.cinfo.output_height;
    if (job.cinfo.output_components != 3 || !ImageSizeAllowed(width, height)) return false;
    IMemoryBitmap& bitmap = *job.target;
    bitmap.Resize(static_cast<int>(width), static_cast<int>(height));
    if (!bitmap.Pixels() || bitmap.Width() != static_cast<int>(width) ||
        bitmap.Height() != static_cast<int>(height)) {
        return false;
    }
    // The pool memory goes with jpeg_destroy_decompress, also after an error.
    JSAMPARRAY line =
        (*job.cinfo.mem->alloc_sarray)(reinterpret_cast<j_common_ptr>(&job.cinfo), JPOOL_IMAGE, width * 3, 1);
    while (job.cinfo.output_scanline < height) {
        const JDIMENSION y = job.cinfo.output_scanline;
        if (jpeg_read_scanlines(&job.cinfo, line, 1) != 1) return false;
        std::uint32_t* row = bitmap.Pixels() + std::size_t{y} * bitmap.RowSpan();
        const JSAMPLE* rgb = line[0];
        for (JDIMENSION x = 0; x < width; ++x, rgb += 3) {
            row[x] = 0xFF000000u | std::uint32_t{rgb[0]} << 16 | std::uint32_t{rgb[1]} << 8 | rgb[2];
        }
    }
    jpeg_finish_decompress(&job.cinfo);
    return true;
}

} // namespace

bool DecodeJpeg(ResourceBytes jpeg, IMemoryBitmap& target)
{
    if (jpeg.Empty()) return false;
    if constexpr (sizeof(std::size_t) > sizeof(unsigned long)) {
        if (jpeg.size > ULONG_MAX) return false; // libjpeg takes an unsigned long
    }
    JpegJob job;
    job.bytes = jpeg;
    job.target = &target;
    const bool ok = Decode(job);
    // Safe on a struct that was never created: it is zeroed and has no pools.
    jpeg_destroy_decompress(&job.cinfo);
    return ok;
}

std::unique_ptr<IMemoryBitmap> DecodeJpeg(ResourceBytes jpeg)
{
    std::unique_ptr<IMemoryBitmap> bitmap(new (std::nothrow) IMemoryBitmap());
    if (!bitmap || !DecodeJpeg(jpeg, *bitmap)) return nullptr;
    return bitmap;
}

std::unique_ptr<IMemoryBitmap> LoadJpegResource(ModuleHandle module, int id)
{
    return DecodeJpeg(FindResourceBytes(module, id, "JPG"));
}

bool LoadJpegResource(ModuleHandle module, int id, IMemoryBitmap& target)
{
    return DecodeJpeg(FindResourceBytes(module, id, "JPG"), target);
}

} // namespace mg
