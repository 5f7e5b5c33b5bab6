#include "UserFolders.h"

#include <cstdlib>

namespace mg::platform {

std::filesystem::path UserConfigFolder()
{
#if defined(_WIN32)
    const char* appData = std::getenv("APPDATA");
    return appData && *appData ? std::filesystem::path(appData) : std::filesystem::path();
#else
    const char* config = std::getenv("XDG_CONFIG_HOME");
    if (config && *config == '/')
        return config;
    const char* home = std::getenv("HOME");
    if (home && *home)
        return std::filesystem::path(home) / ".config";
    return {};
#endif
}

} // namespace mg::platform
