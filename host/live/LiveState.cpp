#include "LiveState.h"

#include <cctype>
#include <cstdint>
#include <cstdio>

#include "Failure.h"
#include "HostedPlugin.h"
#include "PluginInstance.h"
#include "Text.h"
#include "platform/UserFolders.h"
#include "presets/AtomicFile.h"
#include "presets/PresetFile.h"

namespace mg::live {
namespace {

// Room for the suffixes (.clapstate.bad) within a file name's 255 bytes.
constexpr std::size_t kMaxIdName = 200;

std::string Vst2IdName(std::int32_t uniqueId)
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

// A plug-in's id, which may hold any byte, as one plain file name.
std::string FileSafe(std::string id)
{
    if (id.size() > kMaxIdName)
        id.resize(kMaxIdName);
    for (char& c : id)
        if (!std::isalnum(static_cast<unsigned char>(c)) && c != '.' && c != '-' && c != '_')
            c = '_';
    return id;
}

std::string FileName(host::HostedPlugin& plugin)
{
    if (host::PluginInstance* vst2 = plugin.AsVst2())
        return Vst2IdName(vst2->Effect().uniqueID) + ".fxp";
    const char* suffix = plugin.Format() == host::PluginFormat::Vst3 ? ".vst3state" : ".clapstate";
    return FileSafe(plugin.Id()) + suffix;
}

void Load(host::HostedPlugin& plugin, const std::filesystem::path& file)
{
    if (host::PluginInstance* vst2 = plugin.AsVst2()) {
        host::LoadPresetFile(*vst2, file.string());
        return;
    }
    const auto bytes = host::ReadWholeFile(file.string(), host::kMaxPresetFileBytes, "state file");
    if (bytes.empty())
        throw host::Failure("the state file " + host::Quoted(file.string()) + " is empty");
    plugin.LoadState(bytes);
}

} // namespace

std::filesystem::path StateFile(host::HostedPlugin& plugin)
{
    const std::filesystem::path folder = platform::UserConfigFolder();
    if (folder.empty())
        return {};
    return folder / "mg-live" / FileName(plugin);
}

bool RestoreState(host::HostedPlugin& plugin, const std::filesystem::path& file)
{
    std::error_code ec;
    if (file.empty() || !std::filesystem::exists(file, ec))
        return true;
    try {
        Load(plugin, file);
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

void SaveState(host::HostedPlugin& plugin, const std::filesystem::path& file)
{
    std::error_code ec;
    std::filesystem::create_directories(file.parent_path(), ec);
    if (ec)
        throw host::Failure("cannot make the folder " + host::Quoted(file.parent_path().string()) + ": " +
                            ec.message());
    if (host::PluginInstance* vst2 = plugin.AsVst2()) {
        host::SavePresetFile(*vst2, file.string());
        return;
    }
    const auto bytes = plugin.SaveState();
    if (bytes.empty())
        throw host::Failure(plugin.Name() + " gave no state");
    host::WriteFileAtomically(file.string(), bytes, "state file");
}

} // namespace mg::live
