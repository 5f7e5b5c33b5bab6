#pragma once
// Which per-pixel rule a pixel mode and weight stand for. Blits and the
// drawing operations all pick their rule here, so an IBlendSpec means the
// same thing whether it draws an image, a line or a span.
#include <cstdint>

#include "raster/BlendPixel.h"
#include "raster/PixelMode.h"

namespace mg {

// Calls `use(rule)` once, where rule(dest, src) returns the new destination
// word, and returns true; returns false without calling when the weight
// draws nothing (0 or below, NaN, or below 1/256). A weight above 1 counts
// as 1. Overwrite at weight 1 copies the source word as it is, alpha
// included; at 0.5 it averages the two words.
template <class Use>
bool WithPixelRule(PixelMode mode, float weight, Use&& use)
{
    if (!(weight > 0.0f)) return false;
    if (weight > 1.0f) weight = 1.0f;

    if (mode.op == PixelOp::Copy && !mode.sourceAlpha) {
        if (weight == 1.0f) {
            use([](std::uint32_t, std::uint32_t p) { return p; });
            return true;
        }
        if (weight == 0.5f) {
            use([](std::uint32_t d, std::uint32_t p) { return HalvePixels(d, p); });
            return true;
        }
    }

    const int w = static_cast<int>(weight * 256.0f);
    if (w == 0) return false;

    switch (mode.op) {
    case PixelOp::Copy:
        if (!mode.sourceAlpha)
            use([w](std::uint32_t d, std::uint32_t p) { return OverwritePixelWeighted(d, p, w); });
        else if (w == 256)
            use([](std::uint32_t d, std::uint32_t p) { return BlendPixelOpaque(d, p); });
        else
            use([w](std::uint32_t d, std::uint32_t p) { return BlendPixelWeighted(d, p, w); });
        return true;
    case PixelOp::Additive: {
        const bool useAlpha = mode.sourceAlpha;
        use([w, useAlpha](std::uint32_t d, std::uint32_t p) { return AddPixel(d, p, w, useAlpha); });
        return true;
    }
    case PixelOp::ColourDodge: {
        const bool useAlpha = mode.sourceAlpha;
        use([w, useAlpha](std::uint32_t d, std::uint32_t p) { return DodgePixel(d, p, w, useAlpha); });
        return true;
    }
    }
    return false;
}

} // namespace mg
