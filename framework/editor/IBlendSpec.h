#pragma once
// How an image is combined with the draw surface: a blend method and a
// weight that scales the whole source (1 normally, 0.25 for a grayed control).
#include "raster/PixelMode.h"

namespace mg {

struct IBlendSpec {
    enum Method : int { kBlend = 0, kOverwrite = 1, kAdditive = 2, kColourDodge = 3 };

    int method = kBlend;
    float weight = 1.0f;

    // Unknown methods fall back to the source-alpha blend.
    constexpr PixelMode Mode() const { return PixelModeFromBlendMethod(method); }
};

} // namespace mg
