#pragma once
// How BlitPixels combines a source pixel with the destination: an operation
// and whether the source's alpha scales it.
#include <cstdint>

namespace mg {

enum class PixelOp : std::uint8_t {
    Copy,        // replace (with source alpha: the usual "over" blend)
    Additive,    // add the source colour, saturating at 255
    ColourDodge, // brighten the destination by the source colour
};

struct PixelMode {
    PixelOp op = PixelOp::Copy;
    bool sourceAlpha = true;

    friend constexpr bool operator==(const PixelMode&, const PixelMode&) = default;
};

inline constexpr PixelMode kPixelSourceAlphaBlend{PixelOp::Copy, true};
inline constexpr PixelMode kPixelOverwrite{PixelOp::Copy, false};
inline constexpr PixelMode kPixelAdditive{PixelOp::Additive, true};
inline constexpr PixelMode kPixelColourDodge{PixelOp::ColourDodge, true};

// The editor's blend method numbers: 0 blend, 1 overwrite, 2 additive,
// 3 colour dodge; anything else falls back to the blend controls default to.
constexpr PixelMode PixelModeFromBlendMethod(int method)
{
    switch (method) {
    case 1: return kPixelOverwrite;
    case 2: return kPixelAdditive;
    case 3: return kPixelColourDodge;
    default: return kPixelSourceAlphaBlend;
    }
}

} // namespace mg
