// The window backend for Windows: the editor as a child window of the
// host's window, repainted from the draw surface, ticked by a timer of its
// own, with its messages handed to the editor as WindowEvents; a native
// text-entry box (or drop-down list) over a control, the common colour and
// file dialogs, links handed to the shell, and text drawn with GDI.
#include "editor/win32/Win32Backend.h"

#include <commdlg.h>
#include <shellapi.h>
#include <wininet.h>

#include <cstring>

#include "core/FixedText.h"
#include "editor/IEditorWindow.h"
#include "editor/win32/WindowMessages.h"
#include "raster/IBitmap.h"

namespace mg {

namespace {

// Shared by every editor of the process and touched only on the
// user-interface thread: the class is registered while the count is above 0,
// and the frame rate is handed from Open to WM_CREATE.
int openWindowCount = 0;
int creationFrameRate = IGraphics::kDefaultFrameRate;

IRectangle FromRect(const RECT& r)
{
    return {static_cast<std::int32_t>(r.left), static_cast<std::int32_t>(r.top), static_cast<std::int32_t>(r.right),
            static_cast<std::int32_t>(r.bottom)};
}

RECT ToRect(const IRectangle& r)
{
    return {r.left, r.top, r.right, r.bottom};
}

IMouseModifiers ModifiersOf(WPARAM wParam)
{
    const bool alt = (GetKeyState(VK_MENU) & 0x8000) != 0;
    return win32::ModifiersFromKeyState(static_cast<unsigned>(LOWORD(wParam)), alt);
}

int PointerX(LPARAM lParam) { return win32::LowWordSigned(static_cast<std::uintptr_t>(lParam)); }
int PointerY(LPARAM lParam) { return win32::HighWordSigned(static_cast<std::uintptr_t>(lParam)); }

Win32Backend* BackendOf(HWND window)
{
    return reinterpret_cast<Win32Backend*>(GetWindowLongPtrA(window, GWLP_USERDATA));
}

UINT_PTR CALLBACK ColourDialogHook(HWND dialog, UINT message, WPARAM, LPARAM lParam)
{
    if (message == WM_INITDIALOG) {
        const auto* choice = reinterpret_cast<const CHOOSECOLORA*>(lParam);
        const auto* prompt = choice ? reinterpret_cast<const char*>(choice->lCustData) : nullptr;
        if (prompt && *prompt) SetWindowTextA(dialog, prompt);
    }
    return 0;
}

} // namespace

std::unique_ptr<IWindowBackend> MakeWindowBackend(IEditorWindow& editor)
{
    return std::make_unique<Win32Backend>(editor);
}

void HostProgramFolder(char* out, std::size_t capacity)
{
    char path[256] = {};
    GetModuleFileNameA(nullptr, path, sizeof path);
    win32::FolderOfModulePath(path, out, capacity);
}

void ModuleFolder(ModuleHandle module, char* out, std::size_t capacity)
{
    char path[256] = {};
    GetModuleFileNameA(module, path, sizeof path);
    win32::FolderOfModulePath(path, out, capacity);
}

Win32Backend::Win32Backend(IEditorWindow& editor) : editor_(editor) {}

Win32Backend::~Win32Backend()
{
    Close();
    CloseBox();
    ReleaseTextFont();
}

int Win32Backend::OpenWindowCount()
{
    return openWindowCount;
}

WindowTraits Win32Backend::Traits() const
{
    WindowTraits traits;
    traits.reportsDoubleClicks = true; // the class asks for them (CS_DBLCLKS)
    traits.releasesAlwaysReachEditor = true;
    traits.ownValueBox = false;
    return traits;
}

// ---- opening and closing ---------------------------------------------------------

bool Win32Backend::Open(void* parent)
{
    parent_ = static_cast<HWND>(parent);
    HINSTANCE module = editor_.ModuleInstance();
    int x = 0;
    int y = 0;
    int width = editor_.Width();
    int height = editor_.Height();
    if (window_) {
        // Opening again recreates the window where it was, at its size.
        RECT own{};
        RECT host{};
        GetWindowRect(window_, &own);
        GetWindowRect(parent_, &host);
        x = own.left - host.left;
        y = own.top - host.top;
        width = own.right - own.left;
        height = own.bottom - own.top;
        Close();
    }

    if (openWindowCount++ == 0) {
        WNDCLASSA windowClass{};
        windowClass.style = CS_DBLCLKS;
        windowClass.lpfnWndProc = &Win32Backend::WindowProc;
        windowClass.hInstance = module;
        windowClass.hCursor = LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_ARROW));
        windowClass.lpszClassName = IEditorWindow::kWindowClassName;
        RegisterClassA(&windowClass);
    }

    creationFrameRate = editor_.FrameRate();
    HWND window = CreateWindowExA(0, IEditorWindow::kWindowClassName, editor_.WindowTitle(),
                                  WS_CHILD | WS_VISIBLE, x, y, width, height, parent_, nullptr, module, this);
    if (!window) {
        if (--openWindowCount == 0) UnregisterClassA(IEditorWindow::kWindowClassName, module);
        return false;
    }
    window_ = window;
    return true;
}

void Win32Backend::Close()
{
    if (!window_) return;
    HWND window = window_;
    window_ = nullptr;
    DestroyWindow(window);
    if (--openWindowCount == 0) UnregisterClassA(IEditorWindow::kWindowClassName, editor_.ModuleInstance());
}

// ---- window procedure ----------------------------------------------------------------

LRESULT CALLBACK Win32Backend::WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_CREATE) {
        const auto* create = reinterpret_cast<const CREATESTRUCTA*>(lParam);
        SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
        const int rate = creationFrameRate > 0 ? creationFrameRate : IGraphics::kDefaultFrameRate;
        SetTimer(window, kTimerId, static_cast<UINT>(1000 / rate), nullptr);
        return 0;
    }
    Win32Backend* backend = BackendOf(window);
    if (!backend || backend->window_ != window) return DefWindowProcA(window, message, wParam, lParam);
    return backend->HandleMessage(window, message, wParam, lParam);
}

LRESULT Win32Backend::HandleMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    WindowEvent event;
    event.x = PointerX(lParam);
    event.y = PointerY(lParam);
    event.modifiers = ModifiersOf(wParam);
    RECT update{};
    switch (message) {
    case WM_PAINT:
        event.kind = WindowEventKind::Paint;
        event.value = GetUpdateRect(window, &update, FALSE) ? 1 : 0;
        event.area = FromRect(update);
        event.x = event.y = 0;
        break;
    case WM_CLOSE:
        event.kind = WindowEventKind::Close;
        break;
    case WM_KEYDOWN: {
        event.kind = WindowEventKind::Key;
        event.value = KeyCodeForVirtualKey(static_cast<std::uintptr_t>(wParam));
        event.modifiers = IMouseModifiers{};
        POINT p{};
        GetCursorPos(&p);
        ScreenToClient(window, &p);
        event.x = p.x;
        event.y = p.y;
        break;
    }
    case WM_TIMER:
        if (wParam != kTimerId) return 0;
        event.kind = WindowEventKind::Tick;
        break;
    case WM_MOUSEMOVE:
        event.kind = WindowEventKind::Motion;
        break;
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
        event.kind = WindowEventKind::Press;
        event.button = message == WM_LBUTTONDOWN ? MouseButton::Left : MouseButton::Right;
        break;
    case WM_LBUTTONUP:
    case WM_RBUTTONUP:
        event.kind = WindowEventKind::Release;
        event.button = message == WM_LBUTTONUP ? MouseButton::Left : MouseButton::Right;
        break;
    case WM_LBUTTONDBLCLK:
        event.kind = WindowEventKind::DoubleClick;
        event.button = MouseButton::Left;
        break;
    case WM_MOUSEWHEEL: {
        // The position arrives in screen coordinates.
        RECT r{};
        GetWindowRect(window, &r);
        event.kind = WindowEventKind::Wheel;
        event.x -= r.left;
        event.y -= r.top;
        event.value = win32::WheelNotches(static_cast<std::uintptr_t>(wParam));
        break;
    }
    case WM_MOUSELEAVE:
        event.kind = WindowEventKind::Leave;
        break;
    case WM_CAPTURECHANGED:
        if (reinterpret_cast<HWND>(lParam) == window) return DefWindowProcA(window, message, wParam, lParam);
        event.kind = WindowEventKind::CaptureLost;
        break;
    default:
        return DefWindowProcA(window, message, wParam, lParam);
    }

    switch (editor_.HandleWindowEvent(event)) {
    case EventReply::Default:
        return DefWindowProcA(window, message, wParam, lParam);
    case EventReply::TrackLeave: {
        TRACKMOUSEEVENT track{};
        track.cbSize = sizeof track;
        track.dwFlags = TME_LEAVE;
        track.hwndTrack = window;
        track.dwHoverTime = HOVER_DEFAULT;
        TrackMouseEvent(&track);
        return 0;
    }
    case EventReply::Done:
        break;
    }
    // An editor without controls presents nothing; the area must still be
    // validated or the paint message comes back at once.
    if (message == WM_PAINT && event.value != 0 && window_ == window && GetUpdateRect(window, nullptr, FALSE))
        ValidateRect(window, &update);
    return 0;
}

bool Win32Backend::Repaint(const IRectangle& area)
{
    const RECT r = ToRect(area);
    InvalidateRect(window_, &r, FALSE);
    UpdateWindow(window_);
    return true;
}

bool Win32Backend::Present(const IBitmap& surface, const IRectangle& area)
{
    PAINTSTRUCT paint{};
    HDC dc = BeginPaint(window_, &paint);
    bool shown = false;
    if (dc && surface.DeviceContext()) {
        shown = BitBlt(dc, area.left, area.top, area.Width(), area.Height(), static_cast<HDC>(surface.DeviceContext()),
                       area.left, area.top, SRCCOPY) != 0;
    }
    EndPaint(window_, &paint);
    return shown;
}

void Win32Backend::Capture(bool on)
{
    if (on) {
        SetCapture(window_);
    } else {
        ReleaseCapture();
    }
}

// ---- size ----------------------------------------------------------------------------

void Win32Backend::Resize(int oldWidth, int oldHeight, int width, int height)
{
    const int dw = width - oldWidth;
    const int dh = height - oldHeight;
    RECT old{};
    GetWindowRect(window_, &old);
    const RECT oldClient{0, 0, old.right - old.left, old.bottom - old.top};

    // The window, and the host's windows that enclose it as plain children,
    // grow or shrink by the same amount.
    auto isPlainChild = [](HWND w) {
        return (GetWindowLongA(w, GWL_STYLE) & WS_CHILD) != 0 &&
               (GetWindowLongA(w, GWL_EXSTYLE) & WS_EX_MDICHILD) == 0;
    };
    HWND windows[3] = {window_, nullptr, nullptr};
    if (isPlainChild(window_)) {
        windows[1] = GetParent(window_);
        if (windows[1] && isPlainChild(windows[1])) windows[2] = GetParent(windows[1]);
    }
    for (HWND w : windows) {
        if (!w) continue;
        RECT r{};
        GetWindowRect(w, &r);
        SetWindowPos(w, nullptr, 0, 0, r.right - r.left + dw, r.bottom - r.top + dh,
                     SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
    InvalidateRect(window_, &oldClient, FALSE);
}

// ---- the text-entry box ------------------------------------------------------------

bool Win32Backend::OpenBox(const TextEntryPlan& plan, const IParameter& parameter)
{
    if (entryBox_) return false;
    HINSTANCE module = editor_.ModuleInstance();
    HMENU id = reinterpret_cast<HMENU>(static_cast<INT_PTR>(kTextEntryId));
    HWND box = nullptr;
    if (plan.choiceList) {
        box = CreateWindowExA(0, "COMBOBOX", "", WS_CHILD | WS_VISIBLE | CBS_DROPDOWNLIST, plan.x, plan.y, plan.width,
                              plan.height, window_, id, module, nullptr);
        if (!box) return false;
        for (int i = 0; i < parameter.ValueTextCount(); ++i)
            SendMessageA(box, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(parameter.ValueTextAt(i)));
        SendMessageA(box, CB_SETCURSEL, static_cast<WPARAM>(plan.selection), 0);
    } else {
        box = CreateWindowExA(0, "EDIT", plan.text, WS_CHILD | WS_VISIBLE | ES_CENTER | ES_MULTILINE, plan.x, plan.y,
                              plan.width, plan.height, window_, id, module, nullptr);
        if (!box) return false;
    }

    entryBox_ = box;
    entryPreviousProc_ = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrA(box, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&Win32Backend::TextEntryProc)));
    SetWindowLongPtrA(box, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));

    entryFont_ = CreateFontA(14, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, "Arial");
    SendMessageA(box, WM_SETFONT, reinterpret_cast<WPARAM>(entryFont_), FALSE);
    return true;
}

LRESULT CALLBACK Win32Backend::TextEntryProc(HWND box, UINT message, WPARAM wParam, LPARAM lParam)
{
    Win32Backend* backend = BackendOf(box);
    if (!backend || backend->entryBox_ != box) return DefWindowProcA(box, message, wParam, lParam);
    return backend->HandleTextEntryMessage(box, message, wParam, lParam);
}

LRESULT Win32Backend::HandleTextEntryMessage(HWND box, UINT message, WPARAM wParam, LPARAM lParam)
{
    // Kept: the editor may close the box while it hears of the message.
    const WNDPROC previous = entryPreviousProc_;
    switch (message) {
    case WM_SETFOCUS:
        editor_.HandleWindowEvent(WindowEvent{.kind = WindowEventKind::BoxFocus});
        break;
    case WM_KILLFOCUS:
        editor_.HandleWindowEvent(WindowEvent{.kind = WindowEventKind::BoxBlur});
        break;
    case WM_KEYDOWN:
        if (wParam == VK_RETURN) {
            editor_.HandleWindowEvent(WindowEvent{.kind = WindowEventKind::BoxCommit});
            return 0;
        }
        break;
    case WM_COMMAND:
        // The drop-down list tells the box that the user picked an entry.
        if (HIWORD(wParam) == 1) {
            editor_.HandleWindowEvent(WindowEvent{.kind = WindowEventKind::BoxCommit});
            return 0;
        }
        break;
    default:
        break;
    }
    return CallWindowProcA(previous, box, message, wParam, lParam);
}

void Win32Backend::ShowBox()
{
    if (entryBox_) SetWindowTextA(entryBox_, editor_.PromptText());
}

bool Win32Backend::ReadBox(char* out, std::size_t capacity)
{
    if (!entryBox_) return false;
    CopyBounded(out, capacity, "");
    if (!out || capacity == 0) return true;
    char text[kParamTextSize] = {};
    GetWindowTextA(entryBox_, text, static_cast<int>(sizeof text));
    CopyBounded(out, capacity, text);
    return true;
}

void Win32Backend::CloseBox()
{
    if (entryBox_) {
        SetWindowLongPtrA(entryBox_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(entryPreviousProc_));
        DestroyWindow(entryBox_);
    }
    // The box only borrowed the font.
    if (entryFont_) DeleteObject(entryFont_);
    entryBox_ = nullptr;
    entryPreviousProc_ = nullptr;
    entryFont_ = nullptr;
}

// ---- dialogs and the shell -----------------------------------------------------------

bool Win32Backend::PromptForColour(IColourARGB& colour, const char* prompt)
{
    if (!customColours_) customColours_ = std::make_unique<COLORREF[]>(16); // zeroed

    CHOOSECOLORA choice{};
    choice.lStructSize = sizeof choice;
    choice.hwndOwner = window_;
    choice.rgbResult = RGB(colour.red, colour.green, colour.blue);
    choice.lpCustColors = customColours_.get();
    choice.Flags = CC_RGBINIT | CC_FULLOPEN | CC_ENABLEHOOK | CC_SOLIDCOLOR | CC_ANYCOLOR;
    choice.lCustData = reinterpret_cast<LPARAM>(prompt);
    choice.lpfnHook = &ColourDialogHook;
    if (!ChooseColorA(&choice)) return false;
    colour.red = GetRValue(choice.rgbResult);
    colour.green = GetGValue(choice.rgbResult);
    colour.blue = GetBValue(choice.rgbResult);
    return true;
}

void Win32Backend::PromptForFile(char* path, std::size_t capacity, int action, const char* directory)
{
    char folder[MAX_PATH] = {};
    if (directory && *directory) {
        CopyBounded(folder, directory);
    } else {
        HostProgramFolder(folder, sizeof folder);
    }
    char file[255] = {};

    OPENFILENAMEA dialog{};
    dialog.lStructSize = sizeof dialog;
    dialog.hwndOwner = window_;
    dialog.lpstrFile = file;
    dialog.nMaxFile = sizeof file;
    dialog.lpstrInitialDir = folder[0] ? folder : nullptr;
    bool chosen = false;
    if (action == 1) {
        dialog.Flags = OFN_OVERWRITEPROMPT | OFN_PATHMUSTEXIST;
        chosen = GetSaveFileNameA(&dialog) != 0;
    } else {
        dialog.Flags = OFN_PATHMUSTEXIST | OFN_FILEMUSTEXIST;
        chosen = GetOpenFileNameA(&dialog) != 0;
    }
    if (chosen) CopyBounded(path, capacity, file);
}

bool Win32Backend::OpenLink(const char* address, const char* title, const char* confirmText, const char* errorText)
{
    if (confirmText && MessageBoxA(window_, confirmText, title, MB_YESNO) != IDYES) return false;
    DWORD connection = 0;
    if (InternetGetConnectedState(&connection, 0)) {
        const auto result =
            reinterpret_cast<INT_PTR>(ShellExecuteA(window_, "open", address, nullptr, nullptr, SW_SHOWNORMAL));
        if (result > 32) return true;
    }
    if (errorText) MessageBoxA(window_, errorText, title, MB_OK);
    return false;
}

// ---- text --------------------------------------------------------------------------------

bool Win32Backend::DrawTextInBox(const ITextStyle& style, const char* text, const IRectangle& rect)
{
    if (!text) return true;
    const IBitmap* surface = editor_.DrawSurface();
    HDC dc = surface ? static_cast<HDC>(surface->DeviceContext()) : nullptr;
    if (!dc) return false;

    if (!fontSelected_) {
        const int angle = style.orientation * 10;
        textFont_ = CreateFontA(style.size, 0, angle, angle, style.style == ITextStyle::kBold ? FW_BOLD : FW_DONTCARE,
                                style.style == ITextStyle::kItalic ? TRUE : FALSE, 0, 0, 0, 0, 0, 0, 0,
                                style.face ? style.face : "Arial");
        textFontReplaced_ = SelectObject(dc, textFont_);
        textFontDc_ = dc;
        SetBkMode(dc, TRANSPARENT);
        SetTextColor(dc, RGB(style.colour.red, style.colour.green, style.colour.blue));
        textColour_ = style.colour;
        fontSelected_ = true;
    } else if (!(style.colour == textColour_)) {
        SetTextColor(dc, RGB(style.colour.red, style.colour.green, style.colour.blue));
        textColour_ = style.colour;
    }

    UINT format = DT_NOCLIP;
    switch (style.align) {
    case ITextStyle::kLeft: format |= DT_LEFT; break;
    case ITextStyle::kRight: format |= DT_RIGHT; break;
    default: format |= DT_CENTER; break;
    }
    RECT r = ToRect(rect);
    return DrawTextA(dc, text, -1, &r, format) != 0;
}

void Win32Backend::ReleaseTextFont()
{
    // Only while the context the font went into still exists: the draw
    // surface is released by the editor after its backend.
    const IBitmap* surface = editor_.DrawSurface();
    if (textFontDc_ && surface && surface->DeviceContext() == textFontDc_ && textFontReplaced_)
        SelectObject(textFontDc_, textFontReplaced_);
    if (textFont_) DeleteObject(textFont_);
    textFont_ = nullptr;
    textFontReplaced_ = nullptr;
    textFontDc_ = nullptr;
    fontSelected_ = false;
}

} // namespace mg
