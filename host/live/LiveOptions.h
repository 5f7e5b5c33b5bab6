#pragma once
// What the user asked mg-live for, read from argv with the same option
// syntax and the same --param/--program reading as mg-host.
#include <string>
#include <vector>

#include "PluginSettings.h"

namespace mg::live {

struct LiveOptions {
    enum class Kind { Run, Help, Version } kind = Kind::Run;
    std::string plugin;
    host::PluginSettings settings;
    bool doublePrecision = false; // --callback double
    bool noGui = false;
    int scalePercent = 0; // --scale; 0: the plug-in's own rule
    bool noConnect = false;
    std::vector<std::string> inputs;  // --in, for in_1, in_2, ... in order
    std::vector<std::string> outputs; // --out, for out_1, out_2, ...
    std::string clientName = "mg-live";
    bool fresh = false;   // skip the state saved at the last exit
    std::string loadFile; // --load: .fxp or .fxb
    std::string saveFile; // --save: written at exit too
};

// Throws host::UsageError with a one-line reason.
LiveOptions ParseLiveOptions(int argc, const char* const* argv);

const char* LiveUsageText();

} // namespace mg::live
