#include "PluginSettings.h"

#include "Failure.h"
#include "HostedPlugin.h"
#include "Text.h"

namespace mg::host {
namespace {

ParamSetting ParseParam(const std::string& text)
{
    // The last '=' splits: names may contain one, numbers never do.
    const auto eq = text.rfind('=');
    if (eq == std::string::npos || eq == 0)
        throw UsageError("--param needs NAME=VALUE, got " + Quoted(text));
    ParamSetting setting;
    setting.name = text.substr(0, eq);
    const std::string value = text.substr(eq + 1);
    const auto number = ParseNumber(value);
    if (!number)
        throw UsageError("value " + Quoted(value) + " for parameter " + Quoted(setting.name) + " is not a number");
    if (*number < 0.0 || *number > 1.0)
        throw UsageError("value " + Quoted(value) + " for parameter " + Quoted(setting.name) +
                         " is outside 0..1 (parameters are normalised)");
    setting.value = *number;
    return setting;
}

int ResolveParameter(HostedPlugin& plugin, const std::string& name)
{
    const int count = plugin.ParameterCount();
    const int byName = plugin.FindParameter(name);
    if (byName >= 0)
        return byName;
    if (const auto index = ParseIndex(name)) {
        if (*index < count)
            return *index;
        throw Failure("parameter index " + std::to_string(*index) + " is out of range (the plug-in has " +
                      std::to_string(count) + " parameters)");
    }
    throw Failure("unknown parameter " + Quoted(name) + " (mg-host info PLUGIN lists them)");
}

void SetProgram(HostedPlugin& plugin, int program)
{
    if (!plugin.SelectProgram(program))
        throw Failure("program " + std::to_string(program) + " is out of range (the plug-in has " +
                      std::to_string(plugin.ProgramNames().size()) + " programs)");
}

} // namespace

bool ReadSettingOption(const std::string& word, ArgReader& args, PluginSettings& settings)
{
    if (word == "--param") {
        settings.params.push_back(ParseParam(args.Value(word)));
        return true;
    }
    if (word == "--program") {
        const std::string value = args.Value(word);
        const auto program = ParseIndex(value);
        if (!program)
            throw UsageError("--program needs a program number from 0, got " + Quoted(value));
        settings.program = *program;
        return true;
    }
    return false;
}

void ApplyProgram(HostedPlugin& plugin, const PluginSettings& settings)
{
    if (settings.program)
        SetProgram(plugin, *settings.program);
}

void ApplyParameters(HostedPlugin& plugin, const PluginSettings& settings, std::FILE* log, const char* tag)
{
    for (const auto& setting : settings.params) {
        const int index = ResolveParameter(plugin, setting.name);
        plugin.SetParameter(index, setting.value);
        if (log)
            std::fprintf(log, "%s: param [%d] %s = %s %s\n", tag, index,
                         Printable(plugin.ParameterName(index)).c_str(),
                         Printable(plugin.ParameterDisplay(index)).c_str(),
                         Printable(plugin.ParameterLabel(index)).c_str());
    }
}

} // namespace mg::host
