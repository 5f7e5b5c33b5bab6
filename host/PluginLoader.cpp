// Which format's loader takes a plug-in file: told by its name, as hosts
// tell them apart in their plug-in folders.
#include <algorithm>
#include <cctype>

#include "ClapHostedPlugin.h"
#include "HostedPlugin.h"
#include "PluginInstance.h"
#include "Vst3HostedPlugin.h"

namespace mg::host {
namespace {

struct Loader {
    // The name's ending, lower case, that marks the format.
    const char* suffix;
    std::unique_ptr<HostedPlugin> (*load)(const std::string& path, HostContext& host);
};

std::unique_ptr<HostedPlugin> LoadVst2(const std::string& path, HostContext& host)
{
    return std::make_unique<PluginInstance>(path, host);
}

std::unique_ptr<HostedPlugin> LoadClap(const std::string& path, HostContext&)
{
    return std::make_unique<ClapHostedPlugin>(path);
}
// A VST 3 bundle, or the module inside it (.vst3 on Windows; on Linux the
// .so in a bundle's Contents/<arch> folder is taken by its bundle's name).
std::unique_ptr<HostedPlugin> LoadVst3(const std::string& path, HostContext&) { return LoadVst3Plugin(path); }

// The first whose suffix the name ends with loads it: the formats with a
// mark of their own first, then VST 2.4, whose libraries (.so, .dll) carry
// none and so take anything else.
constexpr Loader kLoaders[] = {
    {".clap", &LoadClap},
    {".vst3", &LoadVst3},
    {"", &LoadVst2},
};

bool EndsWith(const std::string& path, const char* suffix)
{
    std::string lower = path;
    while (!lower.empty() && (lower.back() == '/' || lower.back() == '\\'))
        lower.pop_back(); // a bundle folder named with a separator at the end
    std::transform(lower.begin(), lower.end(), lower.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    const std::string end = suffix;
    return lower.size() >= end.size() && lower.compare(lower.size() - end.size(), end.size(), end) == 0;
}

} // namespace

std::unique_ptr<HostedPlugin> LoadPlugin(const std::string& path, HostContext& host)
{
    if (IsModuleInVst3Bundle(path)) return LoadVst3Plugin(path);
    for (const Loader& loader : kLoaders)
        if (EndsWith(path, loader.suffix))
            return loader.load(path, host);
    return LoadVst2(path, host);
}

} // namespace mg::host
