#pragma once
// The window part for Linux: the editor as a child of the host's X11 window,
// over a connection of its own (XCB). Nothing here runs on a thread of its
// own: the host's idle calls on its editor thread (effEditIdle) handle the
// window's events and drive the redraw timer.
//
// Without an open window it is the offscreen editor, as the headless part
// is, which tools and tests rely on. With a window, every presented area is
// also shown in it, and the value box is a small X11 entry (or list) of its
// own over the control.
#include <chrono>
#include <cstddef>
#include <memory>
#include <thread>
#include <vector>

#include "editor/headless/IOffscreenEditor.h"

namespace mg {

class IEditorWindow : public IOffscreenEditor {
public:
    // Pause between presses that still makes them a double click, and how
    // far apart (in pixels, either way) they may be; Windows' defaults.
    static constexpr unsigned kDoubleClickMilliseconds = 500;
    static constexpr int kDoubleClickSlop = 2;

    IEditorWindow(IAudioPlugin* owner, int width, int height, int frameRate);
    ~IEditorWindow() override;

    bool PresentArea(const IRectangle& area) override;
    void ResizeEditor(int width, int height) override;
    bool IsWindowOpen() const override;
    // Records the box (see Prompt()) and, with a window open, shows it.
    void PromptForParameterValue(IControl* control, IParameter* parameter) override;
    // `parent` is the host's X11 window id. Null when there is no display
    // to connect to (DISPLAY), the parent does not exist, or the screen has
    // no true-colour visual of 32 bits per pixel.
    void* OpenEditorWindow(void* parent) override;
    void CloseEditorWindow() override;
    // The editor window's X11 id, or null.
    void* WindowHandle() const override;
    // Typing also shows in the open box.
    void TypeInPrompt(const char* text) override;

    // The host's idle call: handles the window's pending events, then runs
    // the redraw tick when one is due at the frame rate. Only on the thread
    // that opened the window; nothing while none is open.
    void Idle();

protected:
    void WriteTextEntry(const char* text) override;
    void DestroyTextEntry() override;

private:
    class XSide; // the connection, the window and the box; IEditorWindow.cpp
    friend class XSide;

    // Set while the box shows its first text: the first character typed
    // replaces it rather than adding to it.
    bool promptFresh_ = false;

    std::unique_ptr<XSide> x_;
    // While Idle handles events, windows closed by host calls made from
    // inside them wait here until Idle is done with them.
    bool pumping_ = false;
    std::vector<std::unique_ptr<XSide>> retired_;
    std::thread::id windowThread_;
    std::chrono::steady_clock::time_point nextTick_;
};

} // namespace mg
