// The draw surface where there is no window system to share it with: a
// zeroed heap block (zeroed like a fresh DIB section).
#include <cstdint>
#include <cstdlib>

#include "raster/ISystemBitmap.h"
#include "raster/PixelSize.h"

namespace mg {

ISystemBitmap::ISystemBitmap(int width, int height)
{
    Resize(width, height);
}

ISystemBitmap::~ISystemBitmap()
{
    FreeSurface();
}

void ISystemBitmap::FreeSurface()
{
    std::free(pixels_);
    pixels_ = nullptr;
}

bool ISystemBitmap::MakeSurface()
{
    const std::size_t bytes = PixelBytes(allocWidth_, allocHeight_);
    if (bytes == 0 || bytes == SIZE_MAX) return false;
    pixels_ = static_cast<std::uint32_t*>(std::calloc(bytes / 4, 4));
    return pixels_ != nullptr;
}

} // namespace mg
