#include "raster/IMemoryBitmap.h"

#include <cstdint>
#include <cstdlib>

#include "raster/PixelSize.h"

namespace mg {

namespace {

// malloc rather than new: no exception can leave, and a failed growth can
// fall back to an exact-size block.
std::uint32_t* Allocate(std::size_t bytes)
{
    if (bytes == SIZE_MAX) return nullptr;
    return static_cast<std::uint32_t*>(std::malloc(bytes));
}

} // namespace

IMemoryBitmap::IMemoryBitmap(int width, int height)
    : width_(width), height_(height), capacity_(PixelBytes(width, height))
{
    if (capacity_ > 0) pixels_ = Allocate(capacity_);
    if (!pixels_) {
        width_ = height_ = 0;
        capacity_ = 0;
    }
}

IMemoryBitmap::~IMemoryBitmap()
{
    std::free(pixels_);
}

void IMemoryBitmap::Release()
{
    std::free(pixels_);
    pixels_ = nullptr;
    capacity_ = 0;
}

bool IMemoryBitmap::Resize(int width, int height)
{
    if (width == width_ && height == height_) return false;
    width_ = width;
    height_ = height;
    const std::size_t needed = PixelBytes(width, height);
    if (needed == 0) {
        Release();
    } else if (!pixels_) {
        pixels_ = Allocate(needed);
        capacity_ = pixels_ ? needed : 0;
    } else if (capacity_ < needed) {
        const std::size_t roomy = PixelBytes(width, height, 5);
        void* grown = roomy == SIZE_MAX ? nullptr : std::realloc(pixels_, roomy);
        if (grown) {
            pixels_ = static_cast<std::uint32_t*>(grown);
            capacity_ = roomy;
        } else {
            Release();
            pixels_ = Allocate(needed);
            capacity_ = pixels_ ? needed : 0;
        }
    }
    if (!pixels_) width_ = height_ = 0;
    return true;
}

} // namespace mg
