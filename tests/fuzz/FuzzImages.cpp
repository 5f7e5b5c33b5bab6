// Image resources from anywhere: the input is served as resource 100 of a
// module, as the plug-in's images are, and loaded the ways the editor loads
// them. A decoded bitmap must have a size within the limits and every pixel
// readable; anything else must fail cleanly.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <memory>

#include "raster/DecodeImage.h"
#include "raster/ImageLimits.h"
#include "raster/PngDecoder.h"
#include "raster/Resources.h"

namespace {

[[noreturn]] void Fail(const char* what)
{
    std::fprintf(stderr, "fuzz_images: %s\n", what);
    std::abort();
}

// Touches every pixel, so a bitmap smaller than it claims is caught.
std::uint32_t Checksum(const mg::IMemoryBitmap& bitmap)
{
    if (!mg::ImageSizeAllowed(static_cast<std::uint64_t>(bitmap.Width()), static_cast<std::uint64_t>(bitmap.Height())))
        Fail("decoded bitmap outside the size limits");
    if (bitmap.RowSpan() < bitmap.Width()) Fail("rows shorter than the width");
    std::uint32_t sum = 0;
    const std::uint32_t* pixels = bitmap.Pixels();
    for (int y = 0; y < bitmap.Height(); ++y)
        for (int x = 0; x < bitmap.Width(); ++x) sum += pixels[static_cast<std::size_t>(y) * bitmap.RowSpan() + x];
    return sum;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const mg::EmbeddedResource entries[] = {
        {100, "PNG", size ? data : nullptr, size},
        {101, "JPG", size ? data : nullptr, size},
    };
    const mg::ResourceModule module{entries, 2};

    const std::unique_ptr<mg::IMemoryBitmap> png = mg::LoadPngResource(&module, 100);
    if (png) {
        const std::uint32_t sum = Checksum(*png);
        // Decoding into a bitmap that already holds another image gives the same pixels.
        mg::IMemoryBitmap reused;
        reused.Resize(3, 5);
        if (!mg::LoadPngResource(&module, 100, reused)) Fail("second decode failed");
        if (reused.Width() != png->Width() || reused.Height() != png->Height() || Checksum(reused) != sum)
            Fail("second decode differs");
    }
    // The editor's path picks the decoder by file name; JPEG data goes that way.
    if (size >= 2 && data[0] == 0xFF && data[1] == 0xD8) {
        if (const auto jpeg = mg::DecodeImageByName(&module, 101, "img/photo.jpg")) Checksum(*jpeg);
    } else if (const auto byName = mg::DecodeImageByName(&module, 100, "img/knob.PNG")) {
        if (!png) Fail("decoded by name but not directly");
    }
    return 0;
}
