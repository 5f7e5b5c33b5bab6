#pragma once
// The editor as the plug-in builds it: IGraphics with its window, the same
// class on every platform. A small backend of the platform (IWindowBackend:
// Win32, X11 or none) opens the child window, shows pixels, reports input
// as WindowEvents and ticks; this class decides what the input means:
// double clicks where the platform does not report them, the pointer
// capture, a release for every press that began an edit gesture, the value
// box's states and the redraw tick.
//
// Without an open window it is still a whole editor for tools and tests:
// every presented area is kept in PresentedSurface, and the value box is
// recorded (Prompt) with the user's side of it available as calls.
//
// Everything here runs on the thread that owns the editor window (the
// host's user-interface or editor thread).
#include <chrono>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <thread>

#include "core/FixedText.h"
#include "core/IParameter.h"
#include "editor/DoubleClickClock.h"
#include "editor/IGraphics.h"
#include "editor/IWindowBackend.h"
#include "editor/WindowEvent.h"
#include "raster/IMemoryBitmap.h"
#include "raster/Resources.h"

namespace mg {

class IEditorWindow : public IGraphics {
public:
    // Window class (Win32) or WM_CLASS (X11) of the editor window.
    static constexpr const char* kWindowClassName = "IAudioPluginWndClass";
    // Where the platform reports single presses only: the pause between
    // presses that still makes them a double click, and how far apart (in
    // pixels, either way) they may be; Windows' defaults.
    static constexpr unsigned kDoubleClickMilliseconds = 500;
    static constexpr int kDoubleClickSlop = 2;

    // Over the backend of the platform this library is built for.
    IEditorWindow(IAudioPlugin* owner, int width, int height, int frameRate);
    // Over another backend (tests drive the editor with events of their own).
    IEditorWindow(IAudioPlugin* owner, int width, int height, int frameRate,
                  std::unique_ptr<IWindowBackend> (*makeBackend)(IEditorWindow&));
    ~IEditorWindow() override;

    // The module whose resources hold the editor's images (and which owns
    // the Win32 window class): the plug-in's library.
    void SetModuleInstance(ModuleHandle module) { module_ = module; }
    ModuleHandle ModuleInstance() const { return module_; }
    // The window's title, from the plug-in's identity.
    const char* WindowTitle() const;

    bool CreateDrawSurface() override;
    bool PresentArea(const IRectangle& area) override;
    bool DrawTextInBox(const ITextStyle& style, const char* text, const IRectangle& rect) override;
    void ResizeEditor(int width, int height) override;
    bool IsWindowOpen() const override;
    // Records the box (see Prompt()) and, with a window open, shows it.
    void PromptForParameterValue(IControl* control, IParameter* parameter) override;
    void HostExecutablePath(char* out, std::size_t capacity) override;
    void PluginFilePath(char* out, std::size_t capacity) override;
    void PromptForFile(char* path, std::size_t capacity, int action, const char* directory,
                       const char* extensions) override;
    bool PromptForColour(IColourARGB& colour, const char* prompt) override;
    bool OpenLink(const char* address, const char* title, const char* confirmText, const char* errorText) override;
    // `parent` is the host's native window (an HWND, an X11 window id).
    // Null when the platform cannot make a child of it.
    void* OpenEditorWindow(void* parent) override;
    void CloseEditorWindow() override;
    void* WindowHandle() const override;
    std::unique_ptr<IBitmap> DecodeImageResource(int id, const char* fileName) override;
    // Where the host's idle calls drive the window, handles its queued input
    // and runs the redraw tick when one is due; only on the thread that
    // opened the window.
    void HostIdle() override;

    // ---- for the backend ---------------------------------------------------
    // One event of the open window; the reply says what the platform does next.
    EventReply HandleWindowEvent(const WindowEvent& event);
    // The redraw tick when one is due at the frame rate (host idle calls).
    void TickWhenDue();
    // After a press, further input waits for the next tick: observers look
    // at controls once per tick (the footswitch toggles on a press it sees
    // there), so a click quicker than a tick would come and go unseen.
    // Backends that deliver queued input themselves stop while this holds.
    bool InputHeld() const { return inputHeld_; }
    // Whether the box's text still is the value as shown at opening (the
    // first key typed replaces it).
    bool PromptFresh() const { return promptFresh_; }

    // ---- for tools and tests -----------------------------------------------
    // What the window shows: every area presented so far, copied from the
    // draw surface. Black until the first present.
    const IBitmap& PresentedSurface() const { return presented_; }
    int PresentCount() const { return presentCount_; }
    const IRectangle& LastPresentedArea() const { return lastPresented_; }

    // The open value box, or null; its native window, or null.
    const TextEntryPlan* Prompt() const { return TextEntryOpen() ? &plan_ : nullptr; }
    const char* PromptText() const { return promptText_; }
    void* TextEntryWindow() const;
    // The user's side of the box: type (or pick) a text, focus it, press
    // Return (commit) or cancel it. The next RedrawTick acts on it.
    void TypeInPrompt(const char* text);
    void FocusPrompt(bool focused);
    void CommitPrompt();
    void CancelPrompt();

protected:
    void WriteTextEntry(const char* text) override;
    void ReadTextEntry(char* out, std::size_t capacity) override;
    void DestroyTextEntry() override;
    void RepaintArea(const IRectangle& area) override;

private:
    EventReply Press(const WindowEvent& event, const WindowTraits& traits);
    EventReply Release(const WindowEvent& event, const WindowTraits& traits);
    EventReply BoxEvent(const WindowEvent& event, const WindowTraits& traits);
    void Tick();
    void Capture(MouseButton button);
    // Ends what a window that goes leaves undone: a held press (released
    // where the pointer was last) when `release`, the capture and the box.
    void ForgetPointer(bool release);
    void SetPromptText(const char* text) { CopyBounded(promptText_, text); }
    // The list row whose text the box shows, or -1; the pick of a row.
    int PromptSelection() const;
    void PickRow(int row);

    std::unique_ptr<IWindowBackend> backend_;
    ModuleHandle module_{};

    IMemoryBitmap presented_;
    int presentCount_ = 0;
    IRectangle lastPresented_;

    TextEntryPlan plan_;
    char promptText_[kParamTextSize] = {};
    bool promptFresh_ = false;

    DoubleClickClock clicks_{kDoubleClickMilliseconds, kDoubleClickSlop};
    // Set by a press that reached the editor: only then does a move with a
    // button held drag.
    bool captured_ = false;
    // Buttons whose press reached the editor (bit 1 left, bit 2 right).
    unsigned pressed_ = 0;
    bool inputHeld_ = false;
    // The editor asked to hear when the pointer leaves (MouseHover).
    bool leaveWanted_ = false;

    std::thread::id windowThread_;
    std::chrono::steady_clock::time_point nextTick_;
};

} // namespace mg
