#pragma once
// The state mg-live keeps between runs, one file per plug-in under the
// user's configuration folder: for a VST 2.4 plug-in its current program as
// an .fxp file, for the other formats the plug-in's own state bytes as it
// saves them.
#include <filesystem>

namespace mg::host {
class HostedPlugin;
}

namespace mg::live {

// $XDG_CONFIG_HOME/mg-live/NAME, or ~/.config/mg-live/NAME. NAME is, for
// VST 2.4, ID.fxp, ID the four characters of the unique ID when they are
// letters and digits, else eight hex digits; for VST 3 ID.vst3state, ID the
// class id in hex; for CLAP ID.clapstate, ID the plug-in's id with anything
// but letters, digits, '.', '-' and '_' made '_'. Empty when neither
// variable gives a folder.
std::filesystem::path StateFile(host::HostedPlugin& plugin);

// Loads `file` when it is there. A file that does not load (damaged, from a
// newer version, unreadable) is not worth refusing to play: it is reported
// and set aside as FILE.bad, so the state saved at exit does not overwrite
// it, and the plug-in keeps its defaults. False when it could not be set
// aside: this session's state must not be saved over it then.
bool RestoreState(host::HostedPlugin& plugin, const std::filesystem::path& file);

// Writes `file` (atomically), making its folder first. Throws host::Failure.
void SaveState(host::HostedPlugin& plugin, const std::filesystem::path& file);

} // namespace mg::live
