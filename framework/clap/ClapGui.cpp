// The gui extension: the pedal's editor, at one size per scale, embedded in the host's
// window (X11 or Win32). On X11 the editor's input and redraw tick run on a
// timer the host keeps (timer-support); Win32 has timers of its own.
#include <cmath>
#include <cstdint>
#include <cstring>

#include "clap/IClapPlugin.h"

namespace mg {

namespace {

#if defined(_WIN32)
constexpr const char* kNativeApi = clap::kWindowApiWin32;
#else
constexpr const char* kNativeApi = clap::kWindowApiX11;
// The editor ticks 24 times a second; a timer a little quicker keeps up.
constexpr std::uint32_t kTimerPeriodMs = 20;
#endif

} // namespace

bool IClapPlugin::GuiApiSupported(const char* api, bool floating) const
{
    return !floating && api && std::strcmp(api, kNativeApi) == 0 && Editor();
}

const char* IClapPlugin::GuiNativeApi() { return kNativeApi; }

bool IClapPlugin::GuiCreate(const char* api, bool floating)
{
    if (!initialised_ || guiCreated_ || !GuiApiSupported(api, floating) || !OffAudioThread()) return false;
    guiCreated_ = true;
#if !defined(_WIN32)
    // Win32 windows tick on a timer of their own.
    if (hostTimers_ && !hostTimers_->register_timer(host_, kTimerPeriodMs, &timerId_)) timerId_ = clap::kInvalidId;
#endif
    return true;
}

void IClapPlugin::GuiDestroy()
{
    if (!guiCreated_ || !OffAudioThread()) return;
    GuiClose();
    if (timerId_ != clap::kInvalidId) hostTimers_->unregister_timer(host_, timerId_);
    timerId_ = clap::kInvalidId;
    guiCreated_ = false;
}

bool IClapPlugin::GuiSize(std::uint32_t* width, std::uint32_t* height) const
{
    const IEditorLink* editor = Editor();
    if (!guiCreated_ || !editor || !width || !height) return false;
    *width = static_cast<std::uint32_t>(editor->EditorWidth());
    *height = static_cast<std::uint32_t>(editor->EditorHeight());
    return true;
}

bool IClapPlugin::GuiSetSize(std::uint32_t width, std::uint32_t height) const
{
    std::uint32_t w = 0, h = 0;
    return GuiSize(&w, &h) && w == width && h == height;
}

bool IClapPlugin::GuiSetParent(const clap::window_t* window)
{
    if (!guiCreated_ || guiOpen_ || !window || !window->api || std::strcmp(window->api, kNativeApi) != 0 ||
        !OffAudioThread())
        return false;
#if defined(_WIN32)
    void* parent = window->win32;
#else
    void* parent = reinterpret_cast<void*>(static_cast<std::uintptr_t>(window->x11));
#endif
    if (!parent) return false;
    LockGuard guard(Lock());
    IEditorLink* editor = Editor();
    // Open before the window is: the desktop's scale is learned as it opens,
    // after the host sized its window from get_size, and the editor's
    // request for the new size must reach the host.
    guiOpen_ = true;
    if (!editor || !editor->OpenInParent(parent)) {
        guiOpen_ = false;
        return false;
    }
    OnEditorOpened();
    return true;
}

void IClapPlugin::GuiClose()
{
    if (!guiOpen_) return;
    LockGuard guard(Lock());
    OnEditorClosed();
    if (IEditorLink* editor = Editor()) editor->CloseWindow();
    guiOpen_ = false;
}

void IClapPlugin::GuiTick(clap::id_t timer)
{
    // Like the VST idle call, without the plug-in lock: controls that push
    // a value take it themselves.
    if (guiOpen_ && timer == timerId_ && OffAudioThread())
        if (IEditorLink* editor = Editor()) editor->Idle();
}

bool IClapPlugin::ResizeHostWindow(int width, int height)
{
    // Only the host can make its window another size; its set_size call
    // may come from inside the request, and get_size answers the new size.
    return guiOpen_ && hostGui_ &&
           hostGui_->request_resize(host_, static_cast<std::uint32_t>(width), static_cast<std::uint32_t>(height));
}

bool IClapPlugin::GuiSetScale(double scale)
{
    IEditorLink* editor = Editor();
    return guiCreated_ && editor && std::isfinite(scale) && scale > 0.0 && editor->SetDisplayScale(scale);
}

} // namespace mg
