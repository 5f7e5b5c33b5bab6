// mg-live: plays a plug-in (VST 2.4, VST 3 or CLAP) live through a JACK
// server, with its editor in a window, and keeps its state between runs.
#include <cstdio>
#include <filesystem>
#include <memory>
#include <new>

#include "EditorWindow.h"
#include "Failure.h"
#include "Guarded.h"
#include "HostContext.h"
#include "HostedPlugin.h"
#include "JackSession.h"
#include "LiveLoop.h"
#include "LiveOptions.h"
#include "LiveProcessor.h"
#include "LiveState.h"
#include "Platform.h"
#include "PluginInstance.h"
#include "PluginSettings.h"
#include "Text.h"
#include "presets/PresetFile.h"

#ifndef MG_HOST_VERSION
#  define MG_HOST_VERSION "0"
#endif

namespace mg::live {
namespace {

using host::Failure;
using host::Printable;

// Beyond any real speaker layout; a larger count is a broken descriptor.
constexpr int kMaxChannels = 256;

void CheckPlugin(host::HostedPlugin& plugin, bool doublePrecision)
{
    const int inputs = plugin.Inputs();
    const int outputs = plugin.Outputs();
    if (outputs <= 0)
        throw Failure("the plug-in has no outputs; there is nothing to play");
    if (inputs < 0 || inputs > kMaxChannels || outputs > kMaxChannels)
        throw Failure("the plug-in reports " + std::to_string(inputs) + " inputs and " + std::to_string(outputs) +
                      " outputs; 0 to " + std::to_string(kMaxChannels) + " are supported");
    host::PluginInstance* vst2 = plugin.AsVst2();
    if (!doublePrecision && vst2 && !vst2->Effect().processReplacing)
        throw Failure("the plug-in has no processReplacing");
    if (doublePrecision && !plugin.CanProcessDouble())
        throw Failure("the plug-in cannot process doubles; leave out --callback double");
}

// .fxp and .fxb files hold VST 2.4 programs and banks; other formats keep
// only the state mg-live saves by itself.
void CheckPresetFiles(host::HostedPlugin& plugin, const LiveOptions& options)
{
    if (!plugin.AsVst2() && (!options.loadFile.empty() || !options.saveFile.empty()))
        throw Failure(std::string("--load and --save take VST 2.4's .fxp and .fxb files; this plug-in is ") +
                      host::FormatName(plugin.Format()));
}

std::string DisplayName(host::HostedPlugin& plugin, const std::string& path)
{
    std::string name = Printable(plugin.Name());
    if (name.empty()) {
        std::filesystem::path file(path);
        if (!file.has_filename()) // a bundle folder named with a separator at the end
            file = file.parent_path();
        name = file.stem().string();
    }
    return name;
}

std::unique_ptr<EditorWindow> OpenWindow(const LiveOptions& options, host::HostedPlugin& plugin,
                                         host::HostContext& host, const std::string& name)
{
    if (options.noGui)
        return nullptr;
    if (!host::HaveDisplay()) {
        std::fprintf(stderr, "mg-live: no display; running without a window\n");
        return nullptr;
    }
    if (!plugin.HasEditor()) {
        std::fprintf(stderr, "mg-live: %s has no editor; running without a window\n", name.c_str());
        return nullptr;
    }
    try {
        return std::make_unique<EditorWindow>(plugin, host, name, options.scalePercent);
    } catch (const Failure& failure) {
        std::fprintf(stderr, "mg-live: %s; running without a window\n", Printable(failure.what()).c_str());
        return nullptr;
    }
}

// Stops the callbacks before anything they use goes away, on every way out.
struct Deactivation {
    JackSession& jack;
    ~Deactivation() { jack.Deactivate(); }
};

// The state and the --save file, each tried even when the other fails;
// every failure is said. False when any failed.
bool SaveAll(host::HostedPlugin& plugin, const LiveOptions& options, const std::filesystem::path& stateFile,
             bool keepState)
{
    bool ok = true;
    const auto attempt = [&](const auto& save) {
        try {
            save();
        } catch (const Failure& failure) {
            std::fprintf(stderr, "mg-live: error: %s\n", Printable(failure.what()).c_str());
            ok = false;
        }
    };
    if (stateFile.empty())
        std::fprintf(stderr, "mg-live: note: neither XDG_CONFIG_HOME nor HOME is set; the state is not kept\n");
    else if (keepState)
        attempt([&] { SaveState(plugin, stateFile); });
    if (!options.saveFile.empty())
        attempt([&] { host::SavePresetFile(*plugin.AsVst2(), options.saveFile); });
    return ok;
}

int Run(const LiveOptions& options)
{
    if (!options.saveFile.empty())
        host::IsBankFileName(options.saveFile); // a name that is neither .fxp nor .fxb fails now, not at the end
    StopEvents stops; // first: every thread after it leaves SIGINT, SIGTERM and SIGHUP to it
    std::unique_ptr<JackSession> session;
    stops.WhileConnecting([&] { session = std::make_unique<JackSession>(options.clientName); });
    JackSession& jack = *session;
    host::HostContext host(jack.SampleRate(), jack.BufferSize());
    const std::unique_ptr<host::HostedPlugin> loaded = host::LoadPlugin(options.plugin, host);
    host::HostedPlugin& plugin = *loaded;
    CheckPlugin(plugin, options.doublePrecision);
    CheckPresetFiles(plugin, options);
    const std::string name = DisplayName(plugin, options.plugin);
    const std::filesystem::path stateFile = StateFile(plugin);

    LiveProcessor processor(plugin, host, options.doublePrecision);
    processor.Prepare(jack.SampleRate(), jack.BufferSize());
    bool keepState = true;
    if (!options.loadFile.empty())
        host::LoadPresetFile(*plugin.AsVst2(), options.loadFile);
    else if (!options.fresh)
        keepState = RestoreState(plugin, stateFile);
    host::ApplyProgram(plugin, options.settings);
    host::ApplyParameters(plugin, options.settings);
    processor.Start();

    jack.Activate(processor, stops.ShutdownFd(), stops.SettingsFd());
    Deactivation deactivation{jack};
    if (!options.noConnect)
        jack.Connect(options.inputs, options.outputs);
    std::unique_ptr<EditorWindow> window = OpenWindow(options, plugin, host, name);
    std::fprintf(stderr, "mg-live: playing %s as JACK client \"%s\" (%d Hz, %d frames); %s to stop\n", name.c_str(),
                 Printable(jack.ClientName()).c_str(), static_cast<int>(jack.SampleRate()), jack.BufferSize(),
                 window ? "close the window or press Ctrl+C" : "press Ctrl+C");

    // The server's new rate or period reaches the plug-in here, on the
    // thread that alone talks to it. A plug-in that cannot take it would
    // play silence for ever: that ends the session, state saved.
    StopReason reason = StopReason::Signal;
    bool failed = false;
    try {
        reason = stops.Wait(window.get(), [&] { processor.Reconfigure(jack.SampleRate(), jack.BufferSize()); });
    } catch (const std::exception& e) {
        const bool memory = dynamic_cast<const std::bad_alloc*>(&e) != nullptr;
        std::fprintf(stderr, "mg-live: error: the server's new settings (%d Hz, %d frames) failed: %s\n",
                     static_cast<int>(jack.SampleRate()), jack.BufferSize(),
                     memory ? "out of memory" : Printable(e.what()).c_str());
        failed = true;
    }
    window.reset();
    jack.Deactivate();
    processor.Stop();

    const bool saved = SaveAll(plugin, options, stateFile, keepState);
    if (reason == StopReason::ServerGone && !failed) {
        std::fprintf(stderr, "mg-live: error: the JACK server went away; the state is saved in %s\n",
                     stateFile.empty() || !keepState || !saved ? "no file" : stateFile.c_str());
        return 1;
    }
    return saved && !failed ? 0 : 1;
}

} // namespace
} // namespace mg::live

int main(int argc, char** argv)
{
    using namespace mg::live;
    mg::host::FailOversizedWrites();
    return mg::host::Guarded("mg-live", [&] {
        const LiveOptions options = ParseLiveOptions(argc, argv);
        switch (options.kind) {
        case LiveOptions::Kind::Help:
            std::fputs(LiveUsageText(), stdout);
            return 0;
        case LiveOptions::Kind::Version:
            std::printf("mg-live %s\n", MG_HOST_VERSION);
            return 0;
        case LiveOptions::Kind::Run:
            return Run(options);
        }
        return 0;
    });
}
