#pragma once
// The window part for Windows: the editor as a child window of the host's
// window, repainted from the draw surface on a timer, with the mouse and keys
// routed to the controls, a text-entry box over a control, the common colour
// and file dialogs, links handed to the shell, and text drawn with GDI.
//
// Everything here runs on the thread that owns the editor window (the host's
// user-interface thread).
#include "core/WindowsApi.h"

#include <cstddef>
#include <memory>

#include "core/IParameter.h"
#include "editor/IGraphics.h"
#include "raster/Resources.h"

namespace mg {

class IEditorWindow : public IGraphics {
public:
    // Registered while any editor window of the process is open.
    static constexpr const char* kWindowClassName = "IAudioPluginWndClass";
    // Id of the redraw timer and of the text-entry box.
    static constexpr UINT_PTR kTimerId = 2;
    static constexpr int kTextEntryId = 99;

    IEditorWindow(IAudioPlugin* owner, int width, int height, int frameRate);
    ~IEditorWindow() override;

    // The module whose resources hold the editor's images and which owns
    // the window class: the plug-in DLL.
    void SetModuleInstance(ModuleHandle module) { module_ = module; }
    ModuleHandle ModuleInstance() const { return module_; }

    bool PresentArea(const IRectangle& area) override;
    bool DrawTextInBox(const ITextStyle& style, const char* text, const IRectangle& rect) override;
    void ResizeEditor(int width, int height) override;
    bool IsWindowOpen() const override { return window_ != nullptr; }
    void PromptForParameterValue(IControl* control, IParameter* parameter) override;
    void HostExecutablePath(char* out, std::size_t capacity) override;
    void PluginFilePath(char* out, std::size_t capacity) override;
    void PromptForFile(char* path, std::size_t capacity, int action, const char* directory,
                       const char* extensions) override;
    bool PromptForColour(IColourARGB& colour, const char* prompt) override;
    bool OpenLink(const char* address, const char* title, const char* confirmText, const char* errorText) override;
    void* OpenEditorWindow(void* parent) override;
    void CloseEditorWindow() override;
    void* WindowHandle() const override { return window_; }
    std::unique_ptr<IBitmap> DecodeImageResource(int id, const char* fileName) override;

    // The text-entry box's window, or null.
    HWND TextEntryWindow() const { return entryBox_; }
    // Editor windows open in the process right now.
    static int OpenWindowCount();

protected:
    void WriteTextEntry(const char* text) override;
    void ReadTextEntry(char* out, std::size_t capacity) override;
    void DestroyTextEntry() override;
    // Invalidates the area and paints it at once; the paint message draws.
    void RepaintArea(const IRectangle& area) override;

private:
    static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    static LRESULT CALLBACK TextEntryProc(HWND box, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT HandleMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT HandleTextEntryMessage(HWND box, UINT message, WPARAM wParam, LPARAM lParam);
    void ReleaseTextFont();

    HINSTANCE module_ = nullptr;
    HWND window_ = nullptr;
    HWND parent_ = nullptr;

    HWND entryBox_ = nullptr;
    WNDPROC entryPreviousProc_ = nullptr;
    HFONT entryFont_ = nullptr;

    std::unique_ptr<COLORREF[]> customColours_;

    // DrawTextInBox: the font stays selected into the draw surface's device
    // context from the first call on; only a changed colour is set again.
    bool fontSelected_ = false;
    HFONT textFont_ = nullptr;
    HGDIOBJ textFontReplaced_ = nullptr;
    HDC textFontDc_ = nullptr;
    IColourARGB textColour_{255, 0, 0, 0};
};

} // namespace mg
