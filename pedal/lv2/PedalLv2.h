#pragma once
// The pedal's LV2 identity. The URI names the plug-in to every host and in
// every saved session: it never changes.
#include "lv2/Lv2Turtle.h"

namespace mg {

inline constexpr const char* kPedalLv2Uri = "https://marrow-grit.example/plugins/marrow-grit";

inline Lv2BundleInfo PedalLv2Bundle(const char* binary)
{
    return Lv2BundleInfo{.uri = kPedalLv2Uri, .pluginClass = "DistortionPlugin", .binary = binary};
}

} // namespace mg
