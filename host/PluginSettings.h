#pragma once
// The settings a user gives a plug-in on the command line, `--param
// NAME=VALUE` (repeatable) and `--program N`: read the same way and applied
// the same way by every program of the host.
#include <cstdio>
#include <optional>
#include <string>
#include <vector>

#include "ArgReader.h"

namespace mg::host {

class HostedPlugin;

struct ParamSetting {
    std::string name; // as given: a parameter name or an index
    double value = 0.0;
};

struct PluginSettings {
    std::vector<ParamSetting> params;
    std::optional<int> program;
};

// Takes `word` (an option just read from `args`) when it is --param or
// --program, reading its value; false for any other option.
// Throws UsageError for a bad value.
bool ReadSettingOption(const std::string& word, ArgReader& args, PluginSettings& settings);

// The program, when one is given. Throws Failure for a program the
// plug-in does not have.
void ApplyProgram(HostedPlugin& plugin, const PluginSettings& settings);

// The parameters in order. Throws Failure for a parameter the plug-in does
// not have. With `log`, each parameter's resulting display goes there,
// after `tag` ("mg-host").
void ApplyParameters(HostedPlugin& plugin, const PluginSettings& settings, std::FILE* log = nullptr,
                     const char* tag = "");

} // namespace mg::host
