#pragma once
// Writes an LV2 bundle's description from the plug-in itself, so port
// names, ranges, defaults and presets cannot drift from the parameters and
// programs the code defines.
#include <span>
#include <string>

#include "lv2/ILv2Plugin.h"

namespace mg {

// The files inside a bundle folder.
inline constexpr const char* kLv2ManifestFile = "manifest.ttl";
inline constexpr const char* kLv2PluginFile = "plugin.ttl";
inline constexpr const char* kLv2PresetsFile = "presets.ttl";

struct Lv2BundleInfo {
    const char* uri = "";         // the plug-in's URI; never changes once published
    const char* pluginClass = ""; // e.g. "DistortionPlugin" (an lv2: class)
    const char* binary = "";      // the library's file name inside the bundle
    const char* uiBinary = "";    // the X11 UI's library, or empty for none
    // Another plug-in's UI of the same bundle that this one uses, when it
    // has none of its own (uiBinary empty).
    const char* sharedUiUri = "";
    // Its two files; a bundle of several plug-ins names each one's apart.
    const char* pluginFile = kLv2PluginFile;
    const char* presetsFile = kLv2PresetsFile;
};

// One plug-in of a bundle.
struct Lv2BundlePart {
    ILv2Plugin* plugin;
    Lv2BundleInfo info;
};

// The lower-case port symbol of a parameter name: letters and digits kept,
// anything else an underscore, never starting with a digit.
std::string Lv2Symbol(const char* name);

// The UI's URI: the plug-in's with "#ui".
std::string Lv2UiUri(const Lv2BundleInfo& info);

// One Turtle document each. PresetsTurtle selects each program in turn on
// `plugin`, so hand it an instance made for this purpose.
std::string ManifestTurtle(ILv2Plugin& plugin, const Lv2BundleInfo& info);
std::string PluginTurtle(ILv2Plugin& plugin, const Lv2BundleInfo& info);
std::string PresetsTurtle(ILv2Plugin& plugin, const Lv2BundleInfo& info);

// Writes the three files into `folder`; false, with a message on stderr,
// when one cannot be written.
bool WriteLv2Description(ILv2Plugin& plugin, const Lv2BundleInfo& info, const std::string& folder);
// The same for several plug-ins in one bundle: one manifest for all of them.
bool WriteLv2Description(std::span<const Lv2BundlePart> parts, const std::string& folder);

} // namespace mg
