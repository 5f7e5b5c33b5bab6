#pragma once
// The state mg-live keeps between runs: the plug-in's current program as an
// .fxp file per plug-in unique ID, under the user's configuration folder.
#include <cstdint>
#include <filesystem>

namespace mg::host {
class PluginInstance;
}

namespace mg::live {

// $XDG_CONFIG_HOME/mg-live/ID.fxp, or ~/.config/mg-live/ID.fxp; ID is the
// four characters of the unique ID when they are letters and digits, else
// eight hex digits. Empty when neither variable gives a folder.
std::filesystem::path StateFile(std::int32_t uniqueId);

// Loads `file` when it is there. A file that does not load (damaged, from a
// newer version, unreadable) is not worth refusing to play: it is reported
// and set aside as FILE.bad, so the state saved at exit does not overwrite
// it, and the plug-in keeps its defaults. False when it could not be set
// aside: this session's state must not be saved over it then.
bool RestoreState(host::PluginInstance& plugin, const std::filesystem::path& file);

// Writes `file` (atomically), making its folder first. Throws host::Failure.
void SaveState(host::PluginInstance& plugin, const std::filesystem::path& file);

} // namespace mg::live
