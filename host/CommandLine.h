#pragma once
// What the user asked for, read from argv. Options may come before, between
// or after the positional arguments; `--name value` and `--name=value` both
// work, and `--` ends the options.
#include <optional>
#include <string>
#include <vector>

#include "AudioFile.h"
#include "PluginSettings.h"

namespace mg::host {

enum class CallbackKind { Replacing, Double, Accumulating };

struct InfoOptions {
    std::string plugin;
    bool verbose = false;
};

struct RenderOptions {
    std::string plugin;
    std::string input;
    std::string output;
    int block = 512;
    CallbackKind callback = CallbackKind::Replacing;
    PluginSettings settings; // --param, --program
    std::string stateIn;
    std::string stateOut;
    std::string presetIn;  // .fxp or .fxb
    std::string presetOut; // kind by extension
    double tailSeconds = 0.0;
    SampleFormat format = SampleFormat::Default;
    bool quiet = false;
    bool verbose = false;
};

struct Command {
    enum class Kind { Help, Version, Info, Render } kind = Kind::Help;
    InfoOptions info;
    RenderOptions render;
};

constexpr int kMaxBlock = 65536;
constexpr double kMaxTailSeconds = 3600.0;

// Throws UsageError with a one-line reason.
Command ParseCommandLine(int argc, const char* const* argv);

} // namespace mg::host
