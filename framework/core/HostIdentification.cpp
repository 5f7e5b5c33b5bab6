// Which host loaded us, from its product name: some hosts need special care.
#include <cstdio>
#include <cstring>

#include "IAudioPlugin.h"
#include "Trace.h"

namespace mg {

namespace {

struct HostWord {
    const char* word;
    int code;
};

// Tried in this order; the first word found anywhere in the name decides.
constexpr HostWord kHostWords[] = {
    {"cubase", 3},   {"reaper", 1},     {"nuendo", 4},   {"cakewalk", 5},  {"samplitude", 8},
    {"fruity", 7},   {"live", 9},       {"melodyne", 12}, {"vstmanlib", 13}, {"aulab", 14},
    {"forte", 15},   {"chainer", 16},   {"audition", 17}, {"orion", 18},    {"sawstudio", 20},
    {"logic", 21},   {"digital", 22},
};

} // namespace

int IAudioPlugin::HostFromName(const char* name)
{
    char lower[256] = {};
    if (name) {
        for (std::size_t i = 0; i + 1 < sizeof lower && name[i] != '\0'; ++i) {
            const char c = name[i];
            lower[i] = (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
        }
    }
    for (const HostWord& entry : kHostWords)
        if (std::strstr(lower, entry.word)) return entry.code;
    return 0;
}

void IAudioPlugin::SetHost(const char* name, std::int32_t version)
{
    hostId_ = HostFromName(name);
    hostVersion_ = version;
    char versionText[32];
    std::snprintf(versionText, sizeof versionText, "v%d.%d", static_cast<int>((version >> 16) & 0xFFFF),
                  static_cast<int>((version >> 8) & 0xFF));
    TraceSink("IAudioPlugin::SetHost", __LINE__, "host_%sknown:%s:%s", hostId_ == 0 ? "un" : "",
              name ? name : "", versionText);
}

} // namespace mg
