#pragma once
// The pedal's CLAP identity. The id names the plug-in in every saved
// session: it never changes.

namespace mg {

inline constexpr const char* kPedalClapId = "example.marrow-grit.marrow-grit";

} // namespace mg
