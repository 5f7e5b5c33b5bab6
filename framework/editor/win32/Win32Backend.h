#pragma once
// The window backend for Windows (Win32Backend.cpp). Declared here for the
// tests of the window part, which look at its window class, timer and box.
#include "platform/WindowsApi.h"

#include <cstddef>
#include <memory>

#include "editor/IWindowBackend.h"

namespace mg {

class Win32Backend final : public IWindowBackend {
public:
    // Id of the redraw timer and of the text-entry box.
    static constexpr UINT_PTR kTimerId = 2;
    static constexpr int kTextEntryId = 99;

    explicit Win32Backend(IEditorWindow& editor);
    ~Win32Backend() override;
    Win32Backend(const Win32Backend&) = delete;
    Win32Backend& operator=(const Win32Backend&) = delete;

    // Editor windows open in the process right now; the window class is
    // registered while there are any.
    static int OpenWindowCount();

    WindowTraits Traits() const override;
    bool Open(void* parent) override;
    void Close() override;
    bool IsOpen() const override { return window_ != nullptr; }
    void* Handle() const override { return window_; }
    bool Present(const IBitmap& surface, const IRectangle& area) override;
    // Invalidates the area and paints it at once; the paint message draws.
    bool Repaint(const IRectangle& area) override;
    void Resize(int oldWidth, int oldHeight, int width, int height) override;
    void Capture(bool on) override;

    bool OpenBox(const TextEntryPlan& plan, const IParameter& parameter) override;
    void ShowBox() override;
    bool ReadBox(char* out, std::size_t capacity) override;
    void CloseBox() override;
    void* BoxHandle() const override { return entryBox_; }

    bool DrawTextInBox(const ITextStyle& style, const char* text, const IRectangle& rect) override;
    void PromptForFile(char* path, std::size_t capacity, int action, const char* directory) override;
    bool PromptForColour(IColourARGB& colour, const char* prompt) override;
    bool OpenLink(const char* address, const char* title, const char* confirmText, const char* errorText) override;

private:
    static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    static LRESULT CALLBACK TextEntryProc(HWND box, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT HandleMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT HandleTextEntryMessage(HWND box, UINT message, WPARAM wParam, LPARAM lParam);
    void ReleaseTextFont();

    IEditorWindow& editor_;
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
