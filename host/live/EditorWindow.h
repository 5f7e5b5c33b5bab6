#pragma once
// A top-level X11 window, titled with the plug-in's name, that holds the
// plug-in's editor, whatever its format: its size asked before opening, the
// editor opened into the window, its idle calls or timers served on
// request, the editor closed before the window goes. While it is open a
// VST 2.4 plug-in may resize it (audioMasterSizeWindow), within the screen;
// the VST 3 and CLAP hosts offer no resizing, so their editors keep the
// size they opened with.
#include <xcb/xcb.h>

#include <atomic>
#include <string>

#include "HostContext.h"

namespace mg::host {
class HostedPlugin;
}

namespace mg::live {

class EditorWindow final : public host::IEditorFrame {
public:
    // Throws host::Failure when there is no X server or the editor refuses
    // to open. Registers with `host` for the plug-in's resize requests. A
    // `scalePercent` above 0 is told to the plug-in as the display's scale.
    EditorWindow(host::HostedPlugin& plugin, host::HostContext& host, const std::string& title,
                 int scalePercent = 0);
    ~EditorWindow();
    EditorWindow(const EditorWindow&) = delete;
    EditorWindow& operator=(const EditorWindow&) = delete;

    // The connection's file descriptor, readable when events wait.
    int Fd() const { return xcb_get_file_descriptor(c_); }
    // Takes the waiting events; false once the window is closed or the
    // X server is gone.
    bool HandleEvents();
    void Idle();

    // Bounded to the screen. Plug-ins ask from their editor's calls, on the
    // thread that serves the window, or from a thread of their own (xcb
    // takes calls from any thread).
    bool Resize(int width, int height) override;

private:
    void SetFixedSize(int width, int height);

    xcb_atom_t Atom(const char* name);
    void SetProperty(xcb_atom_t property, xcb_atom_t type, int format, const void* data, std::size_t count);

    host::HostedPlugin& plugin_;
    host::HostContext& host_;
    xcb_connection_t* c_ = nullptr;
    int screenWidth_ = 0;
    int screenHeight_ = 0;
    xcb_window_t window_ = 0;
    xcb_atom_t deleteWindow_ = 0;
    bool editorOpen_ = false;
    std::atomic<bool> destroyed_{false};
};

} // namespace mg::live
