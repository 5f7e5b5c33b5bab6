#include "editor/win32/IEditorWindow.h"

#include <commdlg.h>
#include <shellapi.h>
#include <wininet.h>

#include <cstring>

#include "core/FixedText.h"
#include "editor/IControl.h"
#include "editor/TextEntry.h"
#include "editor/win32/WindowMessages.h"
#include "raster/DecodeImage.h"

namespace mg {

namespace {

constexpr const char* kWindowTitle = "Marrow-Grit";

// Shared by every editor of the process and touched only on the
// user-interface thread: the class is registered while the count is above 0,
// and the frame rate is handed from OpenEditorWindow to WM_CREATE.
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

IEditorWindow* EditorOf(HWND window)
{
    return reinterpret_cast<IEditorWindow*>(GetWindowLongPtrA(window, GWLP_USERDATA));
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

IEditorWindow::IEditorWindow(IAudioPlugin* owner, int width, int height, int frameRate)
    : IGraphics(owner, width, height, frameRate)
{
}

IEditorWindow::~IEditorWindow()
{
    CloseEditorWindow();
    EndTextEntry();
    ReleaseTextFont();
}

int IEditorWindow::OpenWindowCount()
{
    return openWindowCount;
}

// ---- opening and closing ---------------------------------------------------------

void* IEditorWindow::OpenEditorWindow(void* parent)
{
    parent_ = static_cast<HWND>(parent);
    int x = 0;
    int y = 0;
    int width = Width();
    int height = Height();
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
        CloseEditorWindow();
    }

    if (openWindowCount++ == 0) {
        WNDCLASSA windowClass{};
        windowClass.style = CS_DBLCLKS;
        windowClass.lpfnWndProc = &IEditorWindow::WindowProc;
        windowClass.hInstance = module_;
        windowClass.hCursor = LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_ARROW));
        windowClass.lpszClassName = kWindowClassName;
        RegisterClassA(&windowClass);
    }

    creationFrameRate = FrameRate();
    HWND window = CreateWindowExA(0, kWindowClassName, kWindowTitle, WS_CHILD | WS_VISIBLE, x, y, width, height,
                                  parent_, nullptr, module_, this);
    if (!window) {
        if (--openWindowCount == 0) UnregisterClassA(kWindowClassName, module_);
        return nullptr;
    }
    window_ = window;
    MarkAllControlsDirty();
    return window_;
}

void IEditorWindow::CloseEditorWindow()
{
    if (!window_) return;
    // The box is a child of the window and goes with it; forget it first so
    // that nothing acts on its handle afterwards.
    EndTextEntry();
    HWND window = window_;
    window_ = nullptr;
    DestroyWindow(window);
    if (--openWindowCount == 0) UnregisterClassA(kWindowClassName, module_);
}

// ---- window procedure ----------------------------------------------------------------

LRESULT CALLBACK IEditorWindow::WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_CREATE) {
        const auto* create = reinterpret_cast<const CREATESTRUCTA*>(lParam);
        SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
        const int rate = creationFrameRate > 0 ? creationFrameRate : kDefaultFrameRate;
        SetTimer(window, kTimerId, static_cast<UINT>(1000 / rate), nullptr);
        return 0;
    }
    IEditorWindow* editor = EditorOf(window);
    if (!editor || editor->window_ != window) return DefWindowProcA(window, message, wParam, lParam);
    return editor->HandleMessage(window, message, wParam, lParam);
}

LRESULT IEditorWindow::HandleMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    // While the box has the keyboard the editor stands still; a right-button
    // press anywhere on the editor cancels the box.
    if (entryBox_ && CurrentTextEntryState() == TextEntryState::Focused) {
        if (message != WM_RBUTTONDOWN) return DefWindowProcA(window, message, wParam, lParam);
        SetTextEntryState(TextEntryState::Cancel);
        return 0;
    }

    switch (message) {
    case WM_PAINT: {
        RECT update{};
        if (GetUpdateRect(window, &update, FALSE)) {
            DrawDirtyArea(FromRect(update));
            // An editor without controls presents nothing; the area must
            // still be validated or the paint message comes back at once.
            if (GetUpdateRect(window, nullptr, FALSE)) ValidateRect(window, &update);
        }
        return 0;
    }
    case WM_CLOSE:
        CloseEditorWindow();
        return 0;
    case WM_KEYDOWN: {
        const int code = KeyCodeForVirtualKey(static_cast<std::uintptr_t>(wParam));
        if (code < 0) return 0;
        POINT p{};
        GetCursorPos(&p);
        ScreenToClient(window, &p);
        KeyPress(p.x, p.y, code);
        return 0;
    }
    case WM_TIMER:
        if (wParam == kTimerId) RedrawTick();
        return 0;
    case WM_MOUSEMOVE: {
        const IMouseModifiers modifiers = ModifiersOf(wParam);
        if (modifiers.left || modifiers.right) {
            if (GetCapture() == window) MouseDrag(PointerX(lParam), PointerY(lParam), modifiers);
        } else if (MouseHover(PointerX(lParam), PointerY(lParam), modifiers)) {
            TRACKMOUSEEVENT track{};
            track.cbSize = sizeof track;
            track.dwFlags = TME_LEAVE;
            track.hwndTrack = window;
            track.dwHoverTime = HOVER_DEFAULT;
            TrackMouseEvent(&track);
        }
        return 0;
    }
    case WM_RBUTTONDOWN:
        if (entryBox_) {
            SetTextEntryState(TextEntryState::Cancel);
            return 0;
        }
        [[fallthrough]];
    case WM_LBUTTONDOWN:
        SetCapture(window);
        MouseDown(PointerX(lParam), PointerY(lParam), ModifiersOf(wParam));
        return 0;
    case WM_LBUTTONUP:
    case WM_RBUTTONUP:
        ReleaseCapture();
        MouseUp(PointerX(lParam), PointerY(lParam), ModifiersOf(wParam));
        return 0;
    case WM_LBUTTONDBLCLK:
        if (MouseDoubleClick(PointerX(lParam), PointerY(lParam), ModifiersOf(wParam))) SetCapture(window);
        return 0;
    case WM_MOUSEWHEEL: {
        // The position arrives in screen coordinates.
        RECT r{};
        GetWindowRect(window, &r);
        const int notches = win32::WheelNotches(static_cast<std::uintptr_t>(wParam));
        MouseWheel(PointerX(lParam) - r.left, PointerY(lParam) - r.top, ModifiersOf(wParam), notches);
        return 0;
    }
    case WM_MOUSELEAVE:
        MouseLeave();
        return 0;
    default:
        return DefWindowProcA(window, message, wParam, lParam);
    }
}

void IEditorWindow::RepaintArea(const IRectangle& area)
{
    if (!window_) {
        IGraphics::RepaintArea(area);
        return;
    }
    const RECT r = ToRect(area);
    InvalidateRect(window_, &r, FALSE);
    UpdateWindow(window_);
}

bool IEditorWindow::PresentArea(const IRectangle& area)
{
    if (!window_) return false;
    const IBitmap* surface = DrawSurface();
    PAINTSTRUCT paint{};
    HDC dc = BeginPaint(window_, &paint);
    bool shown = false;
    if (dc && surface && surface->DeviceContext()) {
        shown = BitBlt(dc, area.left, area.top, area.Width(), area.Height(),
                       static_cast<HDC>(surface->DeviceContext()), area.left, area.top, SRCCOPY) != 0;
    }
    EndPaint(window_, &paint);
    return shown;
}

// ---- size ----------------------------------------------------------------------------

void IEditorWindow::ResizeEditor(int width, int height)
{
    const int oldWidth = Width();
    const int oldHeight = Height();
    IGraphics::ResizeEditor(width, height); // the draw surface follows
    if (!window_) return;

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

void IEditorWindow::PromptForParameterValue(IControl* control, IParameter* parameter)
{
    if (!control || !parameter || entryBox_ || TextEntryOpen() || !window_) return;
    const TextEntryPlan plan = PlanTextEntry(control->DrawRect(), *parameter);

    HWND box = nullptr;
    if (plan.choiceList) {
        box = CreateWindowExA(0, "COMBOBOX", "", WS_CHILD | WS_VISIBLE | CBS_DROPDOWNLIST, plan.x, plan.y, plan.width,
                              plan.height, window_, reinterpret_cast<HMENU>(static_cast<INT_PTR>(kTextEntryId)),
                              module_, nullptr);
        if (!box) return;
        for (int i = 0; i < parameter->ValueTextCount(); ++i)
            SendMessageA(box, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(parameter->ValueTextAt(i)));
        SendMessageA(box, CB_SETCURSEL, static_cast<WPARAM>(plan.selection), 0);
    } else {
        box = CreateWindowExA(0, "EDIT", plan.text, WS_CHILD | WS_VISIBLE | ES_CENTER | ES_MULTILINE, plan.x, plan.y,
                              plan.width, plan.height, window_,
                              reinterpret_cast<HMENU>(static_cast<INT_PTR>(kTextEntryId)), module_, nullptr);
        if (!box) return;
    }

    entryBox_ = box;
    entryPreviousProc_ = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrA(box, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&IEditorWindow::TextEntryProc)));
    SetWindowLongPtrA(box, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));

    entryFont_ = CreateFontA(14, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, "Arial");
    SendMessageA(box, WM_SETFONT, reinterpret_cast<WPARAM>(entryFont_), FALSE);

    BeginTextEntry(control, parameter);
}

LRESULT CALLBACK IEditorWindow::TextEntryProc(HWND box, UINT message, WPARAM wParam, LPARAM lParam)
{
    IEditorWindow* editor = EditorOf(box);
    if (!editor || editor->entryBox_ != box) return DefWindowProcA(box, message, wParam, lParam);
    return editor->HandleTextEntryMessage(box, message, wParam, lParam);
}

LRESULT IEditorWindow::HandleTextEntryMessage(HWND box, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_SETFOCUS:
        SetTextEntryState(TextEntryState::Focused);
        break;
    case WM_KILLFOCUS:
        SetTextEntryState(TextEntryState::None);
        break;
    case WM_KEYDOWN:
        if (wParam == VK_RETURN) {
            SetTextEntryState(TextEntryState::Commit);
            return 0;
        }
        break;
    case WM_COMMAND:
        // The drop-down list tells the box that the user picked an entry.
        if (HIWORD(wParam) == 1) {
            SetTextEntryState(TextEntryState::Commit);
            return 0;
        }
        break;
    default:
        break;
    }
    return CallWindowProcA(entryPreviousProc_, box, message, wParam, lParam);
}

void IEditorWindow::WriteTextEntry(const char* text)
{
    if (entryBox_) SetWindowTextA(entryBox_, text ? text : "");
}

void IEditorWindow::ReadTextEntry(char* out, std::size_t capacity)
{
    CopyBounded(out, capacity, "");
    if (!entryBox_ || !out || capacity == 0) return;
    char text[kParamTextSize] = {};
    GetWindowTextA(entryBox_, text, static_cast<int>(sizeof text));
    CopyBounded(out, capacity, text);
}

void IEditorWindow::DestroyTextEntry()
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

bool IEditorWindow::PromptForColour(IColourARGB& colour, const char* prompt)
{
    if (!window_) return false;
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

void IEditorWindow::PromptForFile(char* path, std::size_t capacity, int action, const char* directory,
                                  const char* /*extensions*/)
{
    CopyBounded(path, capacity, "");
    if (!window_) return;

    char folder[MAX_PATH] = {};
    if (directory && *directory) {
        CopyBounded(folder, directory);
    } else {
        HostExecutablePath(folder, sizeof folder);
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

bool IEditorWindow::OpenLink(const char* address, const char* title, const char* confirmText, const char* errorText)
{
    if (!address || !*address) return false;
    if (confirmText && MessageBoxA(window_, confirmText, title, MB_YESNO) != IDYES) return false;
    DWORD connection = 0;
    if (InternetGetConnectedState(&connection, 0)) {
        const auto result = reinterpret_cast<INT_PTR>(ShellExecuteA(window_, "open", address, nullptr, nullptr,
                                                                    SW_SHOWNORMAL));
        if (result > 32) return true;
    }
    if (errorText) MessageBoxA(window_, errorText, title, MB_OK);
    return false;
}

// ---- text --------------------------------------------------------------------------------

bool IEditorWindow::DrawTextInBox(const ITextStyle& style, const char* text, const IRectangle& rect)
{
    if (!text) return true;
    const IBitmap* surface = DrawSurface();
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

void IEditorWindow::ReleaseTextFont()
{
    // Only while the context the font went into still exists: the draw
    // surface is released by the base class after this destructor.
    const IBitmap* surface = DrawSurface();
    if (textFontDc_ && surface && surface->DeviceContext() == textFontDc_ && textFontReplaced_)
        SelectObject(textFontDc_, textFontReplaced_);
    if (textFont_) DeleteObject(textFont_);
    textFont_ = nullptr;
    textFontReplaced_ = nullptr;
    textFontDc_ = nullptr;
    fontSelected_ = false;
}

// ---- modules and images ----------------------------------------------------------------

void IEditorWindow::HostExecutablePath(char* out, std::size_t capacity)
{
    char path[256] = {};
    GetModuleFileNameA(nullptr, path, sizeof path);
    win32::FolderOfModulePath(path, out, capacity);
}

void IEditorWindow::PluginFilePath(char* out, std::size_t capacity)
{
    char path[256] = {};
    GetModuleFileNameA(module_, path, sizeof path);
    win32::FolderOfModulePath(path, out, capacity);
}

std::unique_ptr<IBitmap> IEditorWindow::DecodeImageResource(int id, const char* fileName)
{
    return DecodeImageByName(module_, id, fileName);
}

} // namespace mg
