#include "HostedPlugin.h"

namespace mg::host {

const char* FormatName(PluginFormat format)
{
    switch (format) {
    case PluginFormat::Vst3:
        return "VST 3";
    case PluginFormat::Clap:
        return "CLAP";
    case PluginFormat::Vst2:
        break;
    }
    return "VST 2.4";
}

int HostedPlugin::FindParameter(const std::string& name)
{
    const int count = ParameterCount();
    for (int i = 0; i < count; ++i)
        if (ParameterName(i) == name)
            return i;
    return -1;
}

} // namespace mg::host
