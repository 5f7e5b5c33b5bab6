#pragma once
// Where one user's settings live, as the system's own conventions say.
#include <filesystem>

namespace mg::platform {

// $XDG_CONFIG_HOME when it is an absolute path (a relative one is invalid
// and ignored), else ~/.config; on Windows %APPDATA%. Empty when the
// environment names no such folder.
std::filesystem::path UserConfigFolder();

} // namespace mg::platform
