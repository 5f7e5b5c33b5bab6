#pragma once
// A colour as four 0..255 channels; as a surface pixel it is 0xAARRGGBB.
#include <algorithm>
#include <cstdint>

namespace mg {

struct IColourARGB {
    int alpha = 255;
    int red = 0;
    int green = 0;
    int blue = 0;

    // Channels outside 0..255 are pulled in rather than spilling into their
    // neighbours.
    constexpr std::uint32_t Pixel() const
    {
        return Channel(alpha) << 24 | Channel(red) << 16 | Channel(green) << 8 | Channel(blue);
    }

    static constexpr IColourARGB FromPixel(std::uint32_t p)
    {
        return {static_cast<int>(p >> 24 & 0xFFu), static_cast<int>(p >> 16 & 0xFFu),
                static_cast<int>(p >> 8 & 0xFFu), static_cast<int>(p & 0xFFu)};
    }

    friend constexpr bool operator==(const IColourARGB&, const IColourARGB&) = default;

private:
    static constexpr std::uint32_t Channel(int v) { return static_cast<std::uint32_t>(std::clamp(v, 0, 255)); }
};

} // namespace mg
