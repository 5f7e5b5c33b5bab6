#pragma once
// Binds the plug-in base to an LV2 UI: the effect's editor in a window of
// the host's, seeing the DSP only through its control ports, so it works
// where the host runs the UI in another process. An edit in the editor
// writes the port through the host's write function (inside a touch
// gesture where the host offers one); a port event from the host moves the
// controls and runs the effect's handler, which drives the LED.
//
// The effect is built a second time for this, with its window backend; its
// audio is never run here.
#include <cstdint>

#include <lv2/ui/ui.h>

#include "core/IAudioPlugin.h"

namespace mg {

// What the UI's entry point hands an effect's constructor.
struct Lv2UiHost {
    LV2UI_Write_Function write = nullptr;
    LV2UI_Controller controller = nullptr;
    const LV2UI_Touch* touch = nullptr;   // may be null
    const LV2UI_Resize* resize = nullptr; // may be null
};

class ILv2UiPlugin : public IAudioPlugin {
public:
    using Host = const Lv2UiHost*;

    ILv2UiPlugin(Host host, int parameterCount, const char* channelIOStr, int presetCount,
                 const PluginIdentity& identity, const PluginOptions& options = {});
    ~ILv2UiPlugin() override;

    // ---- what the entry points call -----------------------------------------
    // Opens the editor as a child of the host's X11 window; its window id,
    // or null when it cannot be shown (no display, no such parent).
    void* OpenWindow(void* parent);
    // A port's new value (a float, format 0); others are not ours.
    void PortEvent(std::uint32_t port, std::uint32_t size, std::uint32_t format, const void* buffer);
    // The host's idle call: the window's events and redraw ticks.
    void Idle();

    // ---- host operations ------------------------------------------------------
    void BeginHostEdit(int index) override;
    void InformHostOfChange(int index, double normalized) override;
    void EndHostEdit(int index) override;
    // Through ui:resize where the host offers it; elsewhere the editor's
    // window takes the size and the host's container follows it.
    bool ResizeHostWindow(int width, int height) override;

private:
    // The DSP's port layout: audio inputs, audio outputs, then one control
    // port per parameter.
    std::uint32_t ControlPort(int index) const;
    void Touch(int index, bool grabbed);

    Lv2UiHost host_;
};

} // namespace mg
