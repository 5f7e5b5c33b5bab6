#include "LiveState.h"

#include <cctype>
#include <cstdio>

#include "Failure.h"
#include "platform/UserFolders.h"
#include "Text.h"
#include "presets/PresetFile.h"

namespace mg::live {
namespace {

std::string IdName(std::int32_t uniqueId)
{
    const std::string chars = host::FourChars(uniqueId);
    bool plain = true;
    for (char c : chars)
        plain = plain && std::isalnum(static_cast<unsigned char>(c));
    if (plain)
        return chars;
    char hex[9];
    std::snprintf(hex, sizeof hex, "%08x", static_cast<std::uint32_t>(uniqueId));
    return hex;
}

} // namespace

std::filesystem::path StateFile(std::int32_t uniqueId)
{
    const std::filesystem::path folder = platform::UserConfigFolder();
    if (folder.empty())
        return {};
    return folder / "mg-live" / (IdName(uniqueId) + ".fxp");
}

bool RestoreState(host::PluginInstance& plugin, const std::filesystem::path& file)
{
    std::error_code ec;
    if (file.empty() || !std::filesystem::exists(file, ec))
        return true;
    try {
        host::LoadPresetFile(plugin, file.string());
        return true;
    } catch (const host::Failure& failure) {
        std::filesystem::path aside = file;
        aside += ".bad";
        std::filesystem::rename(file, aside, ec);
        const std::string kept = ec ? "it cannot be kept as " + host::Quoted(aside.string()) + " (" + ec.message() +
                                          "), so this session's state is not saved"
                                    : "it is kept as " + host::Quoted(aside.string());
        std::fprintf(stderr, "mg-live: warning: the last state was not restored: %s; %s\n",
                     host::Printable(failure.what()).c_str(), host::Printable(kept).c_str());
        return !ec;
    }
}

void SaveState(host::PluginInstance& plugin, const std::filesystem::path& file)
{
    std::error_code ec;
    std::filesystem::create_directories(file.parent_path(), ec);
    if (ec)
        throw host::Failure("cannot make the folder " + host::Quoted(file.parent_path().string()) + ": " +
                            ec.message());
    host::SavePresetFile(plugin, file.string());
}

} // namespace mg::live
