#pragma once
// The pedals' CLAP identities. An id names the plug-in in every saved
// session: it never changes.

namespace mg {

inline constexpr const char* kPedalClapId = "example.marrow-grit.marrow-grit";
inline constexpr const char* kPedalHqClapId = "example.marrow-grit.marrow-grit-hq";

} // namespace mg
