// Which host loaded us, from its product name: some hosts need special care.
#include <cstdio>
#include <cstring>

#include "HostKind.h"
#include "IAudioPlugin.h"
#include "Trace.h"

namespace mg {

namespace {

struct HostWord {
    const char* word;
    HostKind kind;
};

// Tried in this order; the first word found anywhere in the name decides.
constexpr HostWord kHostWords[] = {
    {"cubase", HostKind::Cubase},       {"reaper", HostKind::Reaper},       {"nuendo", HostKind::Nuendo},
    {"cakewalk", HostKind::Cakewalk},   {"samplitude", HostKind::Samplitude}, {"fruity", HostKind::Fruity},
    {"live", HostKind::Live},           {"melodyne", HostKind::Melodyne},   {"vstmanlib", HostKind::VstManLib},
    {"aulab", HostKind::Aulab},         {"forte", HostKind::Forte},         {"chainer", HostKind::Chainer},
    {"audition", HostKind::Audition},   {"orion", HostKind::Orion},         {"sawstudio", HostKind::SawStudio},
    {"logic", HostKind::Logic},         {"digital", HostKind::Digital},
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
        if (std::strstr(lower, entry.word)) return static_cast<int>(entry.kind);
    return static_cast<int>(HostKind::Unknown);
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
