#pragma once
// Per-pixel rules of BlitPixels on 0xAARRGGBB words with straight alpha.
// Each returns the new destination word. Divisions truncate toward zero (C++
// integer division), which is what makes the results exact and repeatable.
#include <cstdint>

namespace mg {

namespace pixel {

constexpr int Channel(std::uint32_t p, int shift)
{
    return static_cast<int>((p >> shift) & 0xFFu);
}

constexpr std::uint32_t Place(int value, int shift)
{
    return static_cast<std::uint32_t>(value) << shift;
}

// s + (d - s) * keep / 256: keep = 0 gives s, keep = 256 gives d.
constexpr int Mix(int s, int d, int keep)
{
    return s + (d - s) * keep / 256;
}

constexpr int Min255(int v)
{
    return v > 255 ? 255 : v;
}

// Source coverage scaled by weight w (1..256); 256 at full alpha and weight.
constexpr int Coverage(int alpha, int w)
{
    return (alpha + 1) * w / 256;
}

} // namespace pixel

// Source alpha over the destination at full weight. The destination's alpha
// byte is left alone: the surface's alpha is never shown.
constexpr std::uint32_t BlendPixelOpaque(std::uint32_t dest, std::uint32_t src)
{
    using namespace pixel;
    const int a = Channel(src, 24);
    if (a == 0) return dest;
    if (a == 255) return (dest & 0xFF000000u) | (src & 0x00FFFFFFu);
    const int keep = 255 - a;
    return (dest & 0xFF000000u) | Place(Mix(Channel(src, 16), Channel(dest, 16), keep), 16) |
           Place(Mix(Channel(src, 8), Channel(dest, 8), keep), 8) | Place(Mix(Channel(src, 0), Channel(dest, 0), keep), 0);
}

// Source alpha over the destination with the whole source scaled by w/256
// (0 < w < 256, e.g. 64 for a grayed control). Alpha is mixed too.
constexpr std::uint32_t BlendPixelWeighted(std::uint32_t dest, std::uint32_t src, int w)
{
    using namespace pixel;
    const int a = Channel(src, 24);
    if (a == 0) return dest;
    const int keep = 256 - Coverage(a, w);
    return Place(Mix(a, Channel(dest, 24), keep), 24) | Place(Mix(Channel(src, 16), Channel(dest, 16), keep), 16) |
           Place(Mix(Channel(src, 8), Channel(dest, 8), keep), 8) | Place(Mix(Channel(src, 0), Channel(dest, 0), keep), 0);
}

// Overwrite at weight 0.5: the average of the two words by halving each,
// without carries between channels (the low bit of each channel is lost).
constexpr std::uint32_t HalvePixels(std::uint32_t dest, std::uint32_t src)
{
    return ((src >> 1) & 0x7F7F7F7Fu) + ((dest >> 1) & 0x7F7F7F7Fu);
}

// Overwrite at any other weight w (0 < w < 256): all four channels move
// w/256 of the way from the destination to the source.
constexpr std::uint32_t OverwritePixelWeighted(std::uint32_t dest, std::uint32_t src, int w)
{
    using namespace pixel;
    const int keep = 256 - w;
    return Place(Mix(Channel(src, 24), Channel(dest, 24), keep), 24) |
           Place(Mix(Channel(src, 16), Channel(dest, 16), keep), 16) |
           Place(Mix(Channel(src, 8), Channel(dest, 8), keep), 8) | Place(Mix(Channel(src, 0), Channel(dest, 0), keep), 0);
}

// Additive: each colour channel gains the source channel scaled by the
// coverage (source alpha when `useAlpha`, else opaque, times w/256) and
// saturates at 255. The destination's alpha byte is kept.
constexpr std::uint32_t AddPixel(std::uint32_t dest, std::uint32_t src, int w, bool useAlpha)
{
    using namespace pixel;
    const int a = useAlpha ? Channel(src, 24) : 255;
    if (a == 0) return dest;
    const int c = Coverage(a, w);
    auto add = [&](int shift) { return Place(Min255(Channel(dest, shift) + Channel(src, shift) * c / 256), shift); };
    return (dest & 0xFF000000u) | add(16) | add(8) | add(0);
}

// Colour dodge: d / (1 - s) per colour channel (d * 255 / (255 - s), capped
// at 255; a black destination stays black), then mixed into the destination
// by the coverage as in AddPixel. The destination's alpha byte is kept.
constexpr std::uint32_t DodgePixel(std::uint32_t dest, std::uint32_t src, int w, bool useAlpha)
{
    using namespace pixel;
    const int a = useAlpha ? Channel(src, 24) : 255;
    if (a == 0) return dest;
    const int keep = 256 - Coverage(a, w);
    auto dodge = [&](int shift) {
        const int s = Channel(src, shift);
        const int d = Channel(dest, shift);
        const int r = d == 0 ? 0 : (s == 255 ? 255 : Min255(d * 255 / (255 - s)));
        return Place(Mix(r, d, keep), shift);
    };
    return (dest & 0xFF000000u) | dodge(16) | dodge(8) | dodge(0);
}

} // namespace mg
