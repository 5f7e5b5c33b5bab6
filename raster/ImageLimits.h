#pragma once
// Largest image the decoders accept. A header can claim any size; these caps
// keep a damaged or hostile resource from making us allocate gigabytes
// before the missing data is noticed. Editor images are far smaller.
#include <cstdint>

namespace mg {

inline constexpr std::uint32_t kMaxImageSide = 16384;
inline constexpr std::uint64_t kMaxImagePixels = std::uint64_t{1} << 24; // 16 Mpixel, 64 MiB

constexpr bool ImageSizeAllowed(std::uint64_t width, std::uint64_t height)
{
    return width > 0 && height > 0 && width <= kMaxImageSide && height <= kMaxImageSide &&
           width * height <= kMaxImagePixels;
}

} // namespace mg
