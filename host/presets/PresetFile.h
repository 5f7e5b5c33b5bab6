#pragma once
// .fxp and .fxb preset files between a file and a loaded plug-in.
//
// Loading parses and checks the whole file against the plug-in (its unique
// ID, parameter and program counts, whether it takes chunks) before the
// plug-in is touched, so a refused file leaves the plug-in as it was.
#include <string>

#include "PresetBytes.h"

namespace mg::host {

class PluginInstance;

// Larger files are refused before they are read.
constexpr std::uintmax_t kMaxPresetFileBytes = std::uintmax_t{256} << 20;

// Reads FILE (.fxp or .fxb; 'FxCk', 'FPCh', 'FxBk', 'FBCh') into the plug-in.
// Throws Failure with a one-line reason; on any failure the plug-in is left
// as it was.
void LoadPresetFile(PluginInstance& plugin, const std::string& path);

// Writes the plug-in's current program (.fxp) or its whole bank (.fxb),
// kind by extension: the chunk kinds when the plug-in has
// effFlagsProgramChunks, else parameter lists. Atomic: a crash never leaves
// half a preset. Throws Failure.
void SavePresetFile(PluginInstance& plugin, const std::string& path);

// The two halves of LoadPresetFile, for callers that read the file before
// the plug-in is loaded. Messages name the file at `path`.
Preset ReadPresetFile(const std::string& path);
void ApplyPreset(PluginInstance& plugin, const Preset& preset, const std::string& path);

// What SavePresetFile makes of the plug-in, without writing it.
Preset CapturePreset(PluginInstance& plugin, bool bank);

// True for a name ending in .fxb, false for .fxp (either case); throws
// Failure for anything else, so a wrong name is caught before any work.
bool IsBankFileName(const std::string& path);

} // namespace mg::host
