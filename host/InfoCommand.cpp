#include "InfoCommand.h"

#include <string>

#include "HostContext.h"
#include "HostReport.h"
#include "HostedPlugin.h"
#include "Platform.h"
#include "PluginInstance.h"
#include "Text.h"

namespace mg::host {
namespace {

constexpr double kInfoSampleRate = 44100.0;
constexpr int kInfoBlockSize = 512;

struct NamedFlag {
    vst::int32 flag;
    const char* name;
};

constexpr NamedFlag kFlags[] = {
    {vst::effFlagsHasEditor, "HasEditor"},
    {vst::effFlagsCanMono, "CanMono"},
    {vst::effFlagsCanReplacing, "CanReplacing"},
    {vst::effFlagsProgramChunks, "ProgramChunks"},
    {vst::effFlagsIsSynth, "IsSynth"},
    {vst::effFlagsNoSoundInStop, "NoSoundInStop"},
    {vst::effFlagsCanDoubleReplacing, "CanDoubleReplacing"},
};

std::string FlagNames(vst::int32 flags)
{
    auto rest = static_cast<std::uint32_t>(flags);
    std::string names;
    for (const auto& named : kFlags) {
        if (rest & static_cast<std::uint32_t>(named.flag)) {
            names += " ";
            names += named.name;
            rest &= ~static_cast<std::uint32_t>(named.flag);
        }
    }
    if (rest) {
        char hex[16];
        std::snprintf(hex, sizeof hex, " 0x%x", rest);
        names += hex;
    }
    return names;
}

void PrintParameters(HostedPlugin& plugin, std::FILE* out)
{
    const int count = plugin.ParameterCount();
    std::fprintf(out, "parameters: %d\n", count);
    for (int i = 0; i < count; ++i) {
        const std::string name = Printable(plugin.ParameterName(i));
        const std::string display = Printable(plugin.ParameterDisplay(i));
        const std::string label = Printable(plugin.ParameterLabel(i));
        std::fprintf(out, "  [%d] %s = %s%s%s\n", i, name.c_str(), display.c_str(), label.empty() ? "" : " ",
                     label.c_str());
    }
}

void PrintPrograms(HostedPlugin& plugin, std::FILE* out)
{
    const auto names = plugin.ProgramNames();
    std::fprintf(out, "programs: %d\n", static_cast<int>(names.size()));
    for (std::size_t i = 0; i < names.size(); ++i)
        std::fprintf(out, "  [%d] %s\n", static_cast<int>(i), Printable(names[i]).c_str());
}

void PrintEditor(HostedPlugin& plugin, std::FILE* out)
{
    if (!plugin.HasEditor()) {
        std::fprintf(out, "editor: no\n");
        return;
    }
    int width = 0;
    int height = 0;
    if (HaveDisplay() && plugin.EditorSize(width, height))
        std::fprintf(out, "editor: yes %dx%d\n", width, height);
    else
        std::fprintf(out, "editor: yes, size unknown\n");
}

// What VST 2.4 tells of itself: its descriptor and the dispatcher's answers.
void PrintVst2Header(const InfoOptions& options, PluginInstance& plugin, std::FILE* out)
{
    const vst::AEffect& effect = plugin.Effect();
    std::fprintf(out, "file: %s\n", Printable(options.plugin).c_str());
    std::fprintf(out, "name: %s\n", Printable(plugin.EffectName()).c_str());
    std::fprintf(out, "vendor: %s\n", Printable(plugin.VendorString()).c_str());
    std::fprintf(out, "product: %s\n", Printable(plugin.ProductString()).c_str());
    std::fprintf(out, "unique id: %d '%s'\n", effect.uniqueID, FourChars(effect.uniqueID).c_str());
    std::fprintf(out, "version: %d\n", effect.version);
    std::fprintf(out, "vendor version: %lld\n", static_cast<long long>(plugin.Dispatch(vst::effGetVendorVersion)));
    std::fprintf(out, "vst version: %lld\n", static_cast<long long>(plugin.Dispatch(vst::effGetVstVersion)));
    std::fprintf(out, "category: %lld\n", static_cast<long long>(plugin.Dispatch(vst::effGetPlugCategory)));
    std::fprintf(out, "flags: 0x%08x%s\n", static_cast<unsigned>(effect.flags), FlagNames(effect.flags).c_str());
    std::fprintf(out, "inputs: %d\n", effect.numInputs);
    std::fprintf(out, "outputs: %d\n", effect.numOutputs);
    std::fprintf(out, "initial delay: %d\n", effect.initialDelay);
}

void PrintHeader(const InfoOptions& options, HostedPlugin& plugin, std::FILE* out)
{
    std::fprintf(out, "file: %s\n", Printable(options.plugin).c_str());
    std::fprintf(out, "format: %s\n", FormatName(plugin.Format()));
    std::fprintf(out, "name: %s\n", Printable(plugin.Name()).c_str());
    std::fprintf(out, "vendor: %s\n", Printable(plugin.Vendor()).c_str());
    std::fprintf(out, "id: %s\n", Printable(plugin.Id()).c_str());
    std::fprintf(out, "inputs: %d\n", plugin.Inputs());
    std::fprintf(out, "outputs: %d\n", plugin.Outputs());
    std::fprintf(out, "double precision: %s\n", plugin.CanProcessDouble() ? "yes" : "no");
    std::fprintf(out, "latency: %d\n", plugin.LatencySamples());
}

} // namespace

int RunInfo(const InfoOptions& options, std::FILE* out)
{
    HostContext host(kInfoSampleRate, kInfoBlockSize);
    const std::unique_ptr<HostedPlugin> plugin = LoadPlugin(options.plugin, host);
    plugin->Prepare(kInfoSampleRate, kInfoBlockSize, SampleSize::Float);
    if (PluginInstance* vst2 = plugin->AsVst2())
        PrintVst2Header(options, *vst2, out);
    else
        PrintHeader(options, *plugin, out);
    PrintParameters(*plugin, out);
    PrintPrograms(*plugin, out);
    PrintEditor(*plugin, out);
    if (options.verbose)
        PrintHostRequests(host, stderr);
    return 0;
}

} // namespace mg::host
