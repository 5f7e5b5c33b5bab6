#include "RenderCommand.h"

#include <cmath>
#include <cstdio>
#include <filesystem>
#include <optional>
#include <vector>

#include "AtomicFile.h"
#include "AudioFile.h"
#include "Failure.h"
#include "HostContext.h"
#include "HostReport.h"
#include "HostedPlugin.h"
#include "PluginInstance.h"
#include "PluginSettings.h"
#include "PresetFile.h"
#include "Progress.h"
#include "RenderLoop.h"
#include "Text.h"

namespace mg::host {
namespace {

constexpr double kProgressSeconds = 20.0;
// Beyond any real speaker layout; a larger count is a broken descriptor.
constexpr int kMaxChannels = 256;

std::vector<std::uint8_t> ReadState(const std::string& path)
{
    auto bytes = ReadWholeFile(path, kMaxPresetFileBytes, "state file");
    if (bytes.empty())
        throw Failure("state file " + Quoted(path) + " is empty");
    return bytes;
}

// Writing OUT while reading it would destroy the input.
void CheckDistinct(const std::string& input, const std::string& output)
{
    std::error_code ec;
    if (std::filesystem::exists(output, ec) && std::filesystem::equivalent(input, output, ec))
        throw Failure("output " + Quoted(output) + " is the input file; choose another name");
}

void CheckCallback(HostedPlugin& plugin, CallbackKind kind)
{
    PluginInstance* vst2 = plugin.AsVst2();
    switch (kind) {
    case CallbackKind::Replacing:
        if (vst2 && !vst2->Effect().processReplacing)
            throw Failure("the plug-in has no processReplacing; try --callback accumulating");
        break;
    case CallbackKind::Double:
        if (!plugin.CanProcessDouble())
            throw Failure(vst2 ? "the plug-in cannot process doubles (effFlagsCanDoubleReplacing is not set); "
                                 "use --callback replacing"
                               : "the plug-in cannot process doubles; use --callback replacing");
        break;
    case CallbackKind::Accumulating:
        if (!vst2)
            throw Failure(std::string("--callback accumulating is VST 2.4's alone; this plug-in is ") +
                          FormatName(plugin.Format()));
        if (!vst2->Effect().process)
            throw Failure("the plug-in has no accumulating process call; use --callback replacing");
        break;
    }
}

void LoadState(HostedPlugin& plugin, const RenderOptions& options, const std::vector<std::uint8_t>& state)
{
    PluginInstance* vst2 = plugin.AsVst2();
    if (!vst2) {
        plugin.LoadState(state);
        if (options.verbose)
            std::fprintf(stderr, "mg-host: state: %zu bytes loaded\n", state.size());
        return;
    }
    const vst::intptr answer = vst2->SetChunk(state);
    if (!vst2->HasFlag(vst::effFlagsProgramChunks)) {
        if (!options.quiet)
            std::fprintf(stderr, "mg-host: note: the plug-in does not declare effFlagsProgramChunks; "
                                 "effSetChunk answered %lld\n",
                         static_cast<long long>(answer));
    } else if (options.verbose) {
        std::fprintf(stderr, "mg-host: state: %zu bytes loaded, effSetChunk answered %lld\n", state.size(),
                     static_cast<long long>(answer));
    }
}

void SaveState(HostedPlugin& plugin, const RenderOptions& options)
{
    PluginInstance* vst2 = plugin.AsVst2();
    if (!vst2) {
        const auto bytes = plugin.SaveState();
        WriteFileAtomically(options.stateOut, bytes, "state file");
        if (options.verbose)
            std::fprintf(stderr, "mg-host: state: %zu bytes saved\n", bytes.size());
        return;
    }
    vst::intptr answer = 0;
    const auto bytes = vst2->GetChunk(answer);
    const bool declared = vst2->HasFlag(vst::effFlagsProgramChunks);
    if (bytes.empty())
        throw Failure("the plug-in gave no state chunk (effGetChunk answered " + std::to_string(answer) + ")" +
                      (declared ? "" : "; it does not declare effFlagsProgramChunks"));
    WriteFileAtomically(options.stateOut, bytes, "state file");
    if (!declared && !options.quiet)
        std::fprintf(stderr, "mg-host: note: the plug-in does not declare effFlagsProgramChunks; "
                             "effGetChunk still gave %zu bytes\n",
                     bytes.size());
    else if (options.verbose)
        std::fprintf(stderr, "mg-host: state: %zu bytes saved\n", bytes.size());
}

// .fxp and .fxb files hold VST 2.4 programs and banks.
PluginInstance& Vst2ForPresets(HostedPlugin& plugin)
{
    if (PluginInstance* vst2 = plugin.AsVst2())
        return *vst2;
    throw Failure(std::string(".fxp and .fxb preset files are VST 2.4's; this plug-in is ") +
                  FormatName(plugin.Format()) + " (use --state-in and --state-out)");
}

void LoadPreset(HostedPlugin& plugin, const RenderOptions& options, const Preset& preset)
{
    ApplyPreset(Vst2ForPresets(plugin), preset, options.presetIn);
    if (options.verbose)
        std::fprintf(stderr, "mg-host: preset: '%s' loaded from %s\n", PresetMagicName(preset.kind),
                     Quoted(options.presetIn).c_str());
}

void NoteChannels(const RenderOptions& options, int fileChannels, int inputs)
{
    if (options.quiet || fileChannels == inputs)
        return;
    if (inputs == 0)
        std::fprintf(stderr, "mg-host: note: the plug-in has no inputs; the input file only sets the length\n");
    else if (fileChannels + 1 == inputs)
        std::fprintf(stderr, "mg-host: note: the input has %d channel%s, the plug-in %d inputs; input channel %d "
                             "gets silence\n",
                     fileChannels, fileChannels == 1 ? "" : "s", inputs, inputs - 1);
    else if (fileChannels < inputs)
        std::fprintf(stderr, "mg-host: note: the input has %d channel%s, the plug-in %d inputs; input channels %d "
                             "to %d get silence\n",
                     fileChannels, fileChannels == 1 ? "" : "s", inputs, fileChannels, inputs - 1);
    else
        std::fprintf(stderr, "mg-host: note: the input has %d channels, the plug-in %d input%s; the rest are "
                             "ignored\n",
                     fileChannels, inputs, inputs == 1 ? "" : "s");
}

void Report(const RenderOptions& options, const RenderStats& stats, bool pcm, double rate)
{
    if (stats.nonFinite > 0 && !options.quiet)
        std::fprintf(stderr, "mg-host: warning: %lld output samples are NaN or infinite\n",
                     static_cast<long long>(stats.nonFinite));
    if (pcm && stats.overs > 0 && !options.quiet)
        std::fprintf(stderr, "mg-host: note: %lld output samples clipped at full scale\n",
                     static_cast<long long>(stats.overs));
    if (options.verbose)
        std::fprintf(stderr, "mg-host: rendered %lld frames (%.3f s)\n", static_cast<long long>(stats.frames),
                     static_cast<double>(stats.frames) / rate);
}

const char* CallbackName(CallbackKind kind)
{
    switch (kind) {
    case CallbackKind::Double:
        return "double";
    case CallbackKind::Accumulating:
        return "accumulating";
    case CallbackKind::Replacing:
        break;
    }
    return "replacing";
}

} // namespace

int RunRender(const RenderOptions& options)
{
    // Everything that can be checked without the plug-in comes first.
    const int format = OutputFormat(options.output, options.format);
    CheckDistinct(options.input, options.output);
    std::vector<std::uint8_t> state;
    if (!options.stateIn.empty())
        state = ReadState(options.stateIn);
    std::optional<Preset> preset;
    if (!options.presetIn.empty())
        preset = ReadPresetFile(options.presetIn);
    if (!options.presetOut.empty())
        IsBankFileName(options.presetOut); // a name of neither kind is refused before any work
    AudioReader reader(options.input);
    const double rate = reader.SampleRate();
    const auto tailFrames = static_cast<std::int64_t>(std::llround(options.tailSeconds * rate));

    HostContext host(rate, options.block);
    const std::unique_ptr<HostedPlugin> loaded = LoadPlugin(options.plugin, host);
    HostedPlugin& plugin = *loaded;
    if ((preset || !options.presetOut.empty()) && !plugin.AsVst2())
        Vst2ForPresets(plugin); // refused before any work
    const int inputs = plugin.Inputs();
    const int outputs = plugin.Outputs();
    if (outputs <= 0)
        throw Failure("the plug-in has no outputs; there is nothing to write");
    if (inputs < 0 || inputs > kMaxChannels || outputs > kMaxChannels)
        throw Failure("the plug-in reports " + std::to_string(inputs) + " inputs and " + std::to_string(outputs) +
                      " outputs; 0 to " + std::to_string(kMaxChannels) + " are supported");
    CheckCallback(plugin, options.callback);

    plugin.Prepare(rate, options.block,
                   options.callback == CallbackKind::Double ? SampleSize::Double : SampleSize::Float);
    if (!state.empty())
        LoadState(plugin, options, state);
    ApplyProgram(plugin, options.settings);
    if (preset)
        LoadPreset(plugin, options, *preset);
    ApplyParameters(plugin, options.settings, options.verbose ? stderr : nullptr, "mg-host");

    NoteChannels(options, reader.Channels(), inputs);
    if (options.verbose)
        std::fprintf(stderr, "mg-host: %s: %d in, %d out, %d Hz, block %d, %s callback\n",
                     Printable(plugin.Name()).c_str(), inputs, outputs, reader.SampleRate(), options.block,
                     CallbackName(options.callback));

    AudioWriter writer(options.output, format, outputs, reader.SampleRate());
    const std::int64_t total = reader.Frames() + tailFrames;
    Progress progress(total, !options.quiet && static_cast<double>(total) >= kProgressSeconds * rate);
    const RenderJob job{plugin, host, reader, writer, progress, options.callback, options.block, tailFrames};
    const RenderStats stats =
        options.callback == CallbackKind::Double ? RenderDouble(job) : RenderFloat(job);
    writer.Close();

    if (!options.stateOut.empty())
        SaveState(plugin, options);
    if (!options.presetOut.empty())
        SavePresetFile(Vst2ForPresets(plugin), options.presetOut);
    Report(options, stats, writer.IsPcm(), rate);
    if (options.verbose)
        PrintHostRequests(host, stderr);
    return 0;
}

} // namespace mg::host
