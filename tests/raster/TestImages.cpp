#include "TestImages.h"

#include <png.h>
#include <zlib.h>

#include <csetjmp>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <jpeglib.h>
#include <stdexcept>

namespace mg::test {

namespace {

void AppendToBytes(png_structp png, png_bytep data, std::size_t size)
{
    auto* out = static_cast<Bytes*>(png_get_io_ptr(png));
    out->insert(out->end(), data, data + size);
}

void NoFlush(png_structp) {}

// Plain C frame for libpng's longjmp; the vectors live in the caller.
bool RunPngWriter(const PngLayout& layout, Bytes& out, std::vector<png_bytep>& rowPointers)
{
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png ? png_create_info_struct(png) : nullptr;
    if (!info) {
        png_destroy_write_struct(&png, nullptr);
        return false;
    }
    if (setjmp(png_jmpbuf(png))) {
        png_destroy_write_struct(&png, &info);
        return false;
    }
    png_set_write_fn(png, &out, AppendToBytes, NoFlush);
    png_set_IHDR(png, info, static_cast<png_uint_32>(layout.width), static_cast<png_uint_32>(layout.height),
                 layout.bitDepth, layout.colorType, layout.interlaced ? PNG_INTERLACE_ADAM7 : PNG_INTERLACE_NONE,
                 PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    std::vector<png_color> palette;
    for (std::size_t i = 0; i + 2 < layout.palette.size(); i += 3) {
        palette.push_back({layout.palette[i], layout.palette[i + 1], layout.palette[i + 2]});
    }
    if (!palette.empty()) png_set_PLTE(png, info, palette.data(), static_cast<int>(palette.size()));
    if (!layout.trnsAlpha.empty()) {
        png_set_tRNS(png, info, layout.trnsAlpha.data(), static_cast<int>(layout.trnsAlpha.size()), nullptr);
    } else if (!layout.trnsColor.empty()) {
        png_color_16 c{};
        if (layout.trnsColor.size() == 1) {
            c.gray = layout.trnsColor[0];
        } else {
            c.red = layout.trnsColor[0];
            c.green = layout.trnsColor[1];
            c.blue = layout.trnsColor[2];
        }
        png_set_tRNS(png, info, nullptr, 0, &c);
    }
    png_write_info(png, info);
    png_set_interlace_handling(png);
    png_write_image(png, rowPointers.data());
    png_write_end(png, info);
    png_destroy_write_struct(&png, &info);
    return true;
}

struct JpegWriteErrors {
    jpeg_error_mgr mgr;
    std::jmp_buf jump;
};

[[noreturn]] void OnJpegWriteError(j_common_ptr cinfo)
{
    std::longjmp(reinterpret_cast<JpegWriteErrors*>(cinfo->err)->jump, 1);
}

struct JpegWriteJob {
    jpeg_compress_struct cinfo{};
    JpegWriteErrors errors{};
    unsigned char* buffer = nullptr;
    unsigned long size = 0;
};

// Plain C frame for libjpeg's longjmp; the state lives in `job`.
bool RunJpegWriter(JpegWriteJob& job, int width, int height, int quality, const Bytes& samples, bool grey)
{
    job.cinfo.err = jpeg_std_error(&job.errors.mgr);
    job.errors.mgr.error_exit = OnJpegWriteError;
    if (setjmp(job.errors.jump)) return false;
    jpeg_create_compress(&job.cinfo);
    jpeg_mem_dest(&job.cinfo, &job.buffer, &job.size);
    job.cinfo.image_width = static_cast<JDIMENSION>(width);
    job.cinfo.image_height = static_cast<JDIMENSION>(height);
    job.cinfo.input_components = grey ? 1 : 3;
    job.cinfo.in_color_space = grey ? JCS_GRAYSCALE : JCS_RGB;
    jpeg_set_defaults(&job.cinfo);
    // Full-resolution colour (4:4:4): flat areas then decode without the
    // chroma smoothing across edges that subsampling brings.
    job.cinfo.comp_info[0].h_samp_factor = 1;
    job.cinfo.comp_info[0].v_samp_factor = 1;
    jpeg_set_quality(&job.cinfo, quality, TRUE);
    jpeg_start_compress(&job.cinfo, TRUE);
    const std::size_t stride = static_cast<std::size_t>(width) * (grey ? 1 : 3);
    while (job.cinfo.next_scanline < job.cinfo.image_height) {
        JSAMPROW row = const_cast<JSAMPLE*>(samples.data() + job.cinfo.next_scanline * stride);
        jpeg_write_scanlines(&job.cinfo, &row, 1);
    }
    jpeg_finish_compress(&job.cinfo);
    return true;
}

} // namespace

Bytes WritePng(const PngLayout& layout)
{
    Bytes out;
    std::vector<Bytes> rows = layout.rows;
    std::vector<png_bytep> pointers;
    for (Bytes& r : rows) pointers.push_back(r.data());
    if (!RunPngWriter(layout, out, pointers)) throw std::runtime_error("libpng could not write the test image");
    return out;
}

Bytes WriteJpeg(int width, int height, const std::vector<std::uint32_t>& rgb, int quality, bool grey)
{
    Bytes samples;
    for (std::uint32_t p : rgb) {
        if (grey) {
            samples.push_back(static_cast<unsigned char>(p));
        } else {
            samples.push_back(static_cast<unsigned char>(p >> 16));
            samples.push_back(static_cast<unsigned char>(p >> 8));
            samples.push_back(static_cast<unsigned char>(p));
        }
    }
    JpegWriteJob job;
    const bool ok = RunJpegWriter(job, width, height, quality, samples, grey);
    Bytes out;
    if (ok) out.assign(job.buffer, job.buffer + job.size);
    jpeg_destroy_compress(&job.cinfo);
    std::free(job.buffer);
    if (!ok) throw std::runtime_error("libjpeg could not write the test image");
    return out;
}

long FindChunk(const Bytes& png, const char* type)
{
    std::size_t pos = 8;
    while (pos + 8 <= png.size()) {
        const std::uint32_t length = std::uint32_t{png[pos]} << 24 | std::uint32_t{png[pos + 1]} << 16 |
                                     std::uint32_t{png[pos + 2]} << 8 | png[pos + 3];
        if (std::memcmp(&png[pos + 4], type, 4) == 0) return static_cast<long>(pos);
        pos += 12 + length;
    }
    return -1;
}

void FixChunkCrc(Bytes& png, long offset)
{
    const std::size_t pos = static_cast<std::size_t>(offset);
    const std::uint32_t length = std::uint32_t{png[pos]} << 24 | std::uint32_t{png[pos + 1]} << 16 |
                                 std::uint32_t{png[pos + 2]} << 8 | png[pos + 3];
    const uLong crc = crc32(crc32(0, nullptr, 0), &png[pos + 4], length + 4);
    const std::size_t at = pos + 8 + length;
    png[at] = static_cast<unsigned char>(crc >> 24);
    png[at + 1] = static_cast<unsigned char>(crc >> 16);
    png[at + 2] = static_cast<unsigned char>(crc >> 8);
    png[at + 3] = static_cast<unsigned char>(crc);
}

void ResourceTable::Add(int id, const char* type, Bytes bytes)
{
    ids_.push_back(id);
    types_.emplace_back(type);
    data_.push_back(std::move(bytes));
}

ModuleHandle ResourceTable::Module()
{
    entries_.clear();
    for (std::size_t i = 0; i < ids_.size(); ++i) {
        entries_.push_back({ids_[i], types_[i].c_str(), data_[i].data(), data_[i].size()});
    }
    module_ = {entries_.data(), entries_.size()};
    return &module_;
}

} // namespace mg::test
