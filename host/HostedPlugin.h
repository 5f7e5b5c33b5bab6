#pragma once
// One loaded plug-in of any format, as mg-host and mg-live speak to it: the
// few things a command-line or live host needs, in the same words for every
// format. Each format's loader (host/<format>/) implements it over that
// format's raw interface; nothing here names a format's types.
//
// Values cross this interface normalised (0..1). Calls come from one thread
// at a time, except Process(), which may run on an audio thread while the
// control side waits (the callers' gates see to that).
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace mg::host {

class HostContext;
class PluginInstance;

enum class PluginFormat { Vst2, Vst3, Clap };

// The samples Process() will be called with; formats that fix it before
// processing (VST 2.4's precision, VST 3's set-up) are told in Prepare().
enum class SampleSize { Float, Double };

const char* FormatName(PluginFormat format);

class HostedPlugin {
public:
    virtual ~HostedPlugin() = default;
    HostedPlugin(const HostedPlugin&) = delete;
    HostedPlugin& operator=(const HostedPlugin&) = delete;

    virtual PluginFormat Format() const = 0;

    // ---- identity ----------------------------------------------------------
    virtual std::string Name() = 0;
    virtual std::string Vendor() = 0;
    // The format's own identifier as text: a four-character code, a class
    // id in hex, a reverse-domain id.
    virtual std::string Id() = 0;

    // ---- audio shape ---------------------------------------------------------
    virtual int Inputs() = 0;
    virtual int Outputs() = 0;
    virtual bool CanProcessDouble() = 0;
    virtual int LatencySamples() = 0;

    // ---- parameters, normalised ----------------------------------------------
    virtual int ParameterCount() = 0;
    virtual std::string ParameterName(int index) = 0;
    virtual std::string ParameterLabel(int index) = 0;
    // The plug-in's own text for the parameter's current value.
    virtual std::string ParameterDisplay(int index) = 0;
    virtual double Parameter(int index) = 0;
    // Applies at once, outside processing (settings before a render).
    virtual void SetParameter(int index, double normalized) = 0;
    // Applies at `frame` of the next Process() call. Formats without
    // sample-accurate changes apply it at the start of that call.
    virtual void ScheduleParameter(int index, double normalized, int frame) = 0;
    // The index of the first parameter called exactly `name`, or -1.
    int FindParameter(const std::string& name);

    // ---- programs -------------------------------------------------------------
    virtual std::vector<std::string> ProgramNames() = 0;
    virtual bool SelectProgram(int index) = 0;

    // ---- state: the format's own bytes for the whole instance ------------------
    // Throws Failure when the plug-in gives none or refuses them.
    virtual std::vector<std::uint8_t> SaveState() = 0;
    virtual void LoadState(const std::vector<std::uint8_t>& bytes) = 0;

    // ---- processing -------------------------------------------------------------
    // While suspended: the rate, the longest block and the samples that will come.
    virtual void Prepare(double sampleRate, int maxFrames, SampleSize samples) = 0;
    virtual void Resume() = 0;
    virtual void Suspend() = 0;
    // Planar buffers, Inputs() and Outputs() of them, `frames` <= maxFrames.
    virtual void Process(float** inputs, float** outputs, int frames) = 0;
    virtual void Process(double** inputs, double** outputs, int frames) = 0;

    // ---- editor -----------------------------------------------------------------
    virtual bool HasEditor() = 0;
    // Before opening: the display's scale (1 = 100 %) the editor is to draw
    // at, in the format's own words; false when the plug-in takes none.
    virtual bool SetEditorScale(double scale) = 0;
    // The size before opening; false when the plug-in gives none.
    virtual bool EditorSize(int& width, int& height) = 0;
    // `parent` is the platform's window (an X11 window id, an HWND).
    virtual bool OpenEditor(void* parent) = 0;
    // Regular calls on the editor's thread while it is open: formats whose
    // editors run on the host's timer or idle calls get them here.
    virtual void IdleEditor() = 0;
    virtual void CloseEditor() = 0;

    // The VST 2.4 instance behind this plug-in, for what only that format
    // has (.fxp/.fxb files, the legacy accumulating call); null for others.
    virtual PluginInstance* AsVst2() { return nullptr; }

protected:
    HostedPlugin() = default;
};

// Loads the plug-in at `path`, its format told by the name: a `.vst3`
// bundle or module, a `.clap` module, else a VST 2.4 library. Throws Failure
// with a one-line reason. `host` serves formats that call back through it
// and must outlive the plug-in.
std::unique_ptr<HostedPlugin> LoadPlugin(const std::string& path, HostContext& host);

} // namespace mg::host
