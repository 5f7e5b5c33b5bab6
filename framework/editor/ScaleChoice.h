#pragma once
// The user's choice of the editor's size, kept in a small settings file of
// lines `key=value` so that every new editor in every host opens at it.
#include <filesystem>

namespace mg {

// The chosen percentage (one of kScaleSteps), or 0 for automatic: also
// when the file is missing, unreadable, too large or not ours.
int ReadScaleChoice(const std::filesystem::path& file);

// Writes the choice (0: automatic) through a temporary file renamed over
// the old one, so that a reader never sees half a file; false when it could
// not be written.
bool WriteScaleChoice(const std::filesystem::path& file, int percent);

} // namespace mg
