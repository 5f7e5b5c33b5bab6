#include "raster/ISystemBitmap.h"

namespace mg {

bool ISystemBitmap::Resize(int width, int height)
{
#if defined(_WIN32)
    if (!dc_) {
        width_ = height_ = 0;
        pixels_ = nullptr;
        return false;
    }
#endif
    // A negative side means no pixels, like zero; never hand it on.
    if (width < 0) width = 0;
    if (height < 0) height = 0;
    if (width == width_ && height == height_) return false;
    width_ = width;
    height_ = height;
    if (width > 0 && height > 0 && pixels_ && allocWidth_ >= width && allocHeight_ >= height) {
        return true;
    }
    allocWidth_ = width;
    allocHeight_ = height;
    FreeSurface();
    if (width == 0 || height == 0) return false;
    if (!MakeSurface()) {
        width_ = height_ = 0;
        pixels_ = nullptr;
    }
    return true;
}

} // namespace mg
