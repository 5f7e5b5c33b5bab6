#pragma once
// A VST 3 plug-in as mg-host and mg-live speak to it: the module loaded from
// its bundle (or the module file itself), the first audio effect class of
// its factory created, its component, processor and controller driven in
// the order hosts use.
#include <functional>
#include <memory>
#include <string>

#include "HostedPlugin.h"

namespace mg::host {

// What the plug-in's editor tells its host: a parameter (by HostedPlugin's
// index) changed to a normalised value.
using EditListener = std::function<void(int index, double normalized)>;

// Throws Failure with a one-line reason.
std::unique_ptr<HostedPlugin> LoadVst3Plugin(const std::string& path, EditListener onEdit = {});

// Whether `path` is a module in a VST 3 bundle's Contents/<arch>/ folder
// (the Linux module is a .so, which alone would pass for a VST 2.4 one).
bool IsModuleInVst3Bundle(const std::string& path);

// The module inside a bundle for this system (Contents/<arch>/<name>.so or
// .vst3); any other path as it is.
std::string Vst3ModulePath(const std::string& path);

} // namespace mg::host
