#pragma once
// The pedal's LV2 identity. The URIs name the plug-in and its UI to every
// host and in every saved session: they never change.

namespace mg {

inline constexpr const char* kPedalLv2Uri = "https://marrow-grit.example/plugins/marrow-grit";
// Marrow-Grit HQ, in the same bundle; it uses the pedal's UI.
inline constexpr const char* kPedalHqLv2Uri = "https://marrow-grit.example/plugins/marrow-grit-hq";
// The Turtle writer derives the same from the plug-in's (Lv2UiUri).
inline constexpr const char* kPedalLv2UiUri = "https://marrow-grit.example/plugins/marrow-grit#ui";

} // namespace mg
