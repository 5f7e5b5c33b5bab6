// The window backend for Linux: the editor as a child of the host's X11
// window, over a connection of its own (XCB). Nothing here runs on a thread
// of its own: the host's idle calls on its editor thread deliver the
// window's events and drive the redraw tick, since X11 has no timer that
// calls back on the host's thread. The value box is a small X11 entry (or
// list) of the editor's own over the control.
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "X11Input.h"
#include "XcbWindow.h"
#include "editor/IEditorWindow.h"
#include "editor/KeyCodes.h"

namespace mg {

namespace {

std::uint8_t EventType(const xcb_generic_event_t* event) { return event->response_type & 0x7F; }

MouseButton ButtonOf(int button)
{
    if (button == x11::kLeftButton) return MouseButton::Left;
    if (button == x11::kRightButton) return MouseButton::Right;
    return MouseButton::Other;
}

class X11Backend final : public IWindowBackend {
public:
    explicit X11Backend(IEditorWindow& editor) : editor_(editor) {}
    ~X11Backend() override
    {
        Close();
        retired_.clear();
    }

    WindowTraits Traits() const override
    {
        WindowTraits traits;
        traits.reportsDoubleClicks = false;
        traits.releasesAlwaysReachEditor = false;
        traits.ownValueBox = true;
        return traits;
    }

    bool Open(void* parent) override;
    void Close() override;
    bool IsOpen() const override { return window_ != nullptr; }
    void* Handle() const override
    {
        return window_ ? reinterpret_cast<void*>(static_cast<std::uintptr_t>(window_->Id())) : nullptr;
    }
    bool Present(const IBitmap&, const IRectangle& area) override
    {
        if (Usable()) window_->Show(editor_.PresentedSurface(), area);
        return true;
    }
    bool Repaint(const IRectangle&) override { return false; }
    void Resize(int, int, int width, int height) override
    {
        if (window_ && !window_->Broken()) window_->Resize(width, height);
    }
    // The server grabs the pointer for the window while a button is held.
    void Capture(bool) override {}
    void HostIdle() override;

    bool OpenBox(const TextEntryPlan& plan, const IParameter& parameter) override;
    void ShowBox() override
    {
        if (box_) box_->Draw(editor_.PromptText(), editor_.PromptFresh(), BoxSelection());
    }
    bool ReadBox(char*, std::size_t) override { return false; }
    void CloseBox() override { box_.reset(); }
    void* BoxHandle() const override
    {
        return box_ ? reinterpret_cast<void*>(static_cast<std::uintptr_t>(box_->Id())) : nullptr;
    }

private:
    bool Usable() const { return window_ && !window_->Broken() && !window_->Gone(); }
    // The list row showing the editor's prompt text, or -1.
    int BoxSelection() const
    {
        int selection = -1;
        for (int i = 0; box_ && i < box_->ItemCount(); ++i)
            if (std::strcmp(box_->Item(i), editor_.PromptText()) == 0) selection = i;
        return selection;
    }
    void Dispatch(xcb_generic_event_t* event);
    void Send(const WindowEvent& event) { editor_.HandleWindowEvent(event); }
    void Press(const xcb_button_press_event_t& e);
    void BoxPress(const xcb_button_press_event_t& e);
    void BoxKey(const xcb_key_press_event_t& e);
    void BoxFocus(bool in, std::uint8_t mode, std::uint8_t detail);
    xcb_keysym_t KeysymOf(xcb_keycode_t code, unsigned state)
    {
        return x11::KeysymOfPress(window_->Keysym(code, 0), window_->Keysym(code, 1), state);
    }

    IEditorWindow& editor_;
    // The window is declared before the box, which must go first.
    std::unique_ptr<x11::XcbWindow> window_;
    std::unique_ptr<x11::XcbEntryBox> box_;
    // While HostIdle delivers events, windows closed by host calls made from
    // inside them wait here until HostIdle is done with them.
    bool pumping_ = false;
    std::vector<std::unique_ptr<x11::XcbWindow>> retired_;
};

bool X11Backend::Open(void* parent)
{
    const auto id = reinterpret_cast<std::uintptr_t>(parent);
    if (id == 0 || id > UINT32_MAX) return false; // not an X11 window id
    const auto parentId = static_cast<std::uint32_t>(id);
    int x = 0, y = 0;
    if (window_) {
        if (!window_->OriginIn(parentId, x, y)) x = y = 0;
        Close();
    }
    window_ = x11::XcbWindow::Open(parentId, x, y, editor_.Width(), editor_.Height(),
                                   editor_.DrawSurface() ? &editor_.PresentedSurface() : nullptr,
                                   editor_.WindowTitle(), IEditorWindow::kWindowClassName);
    if (!window_) return false;
    window_->Flush();
    return true;
}

void X11Backend::Close()
{
    box_.reset();
    if (!window_) return;
    if (pumping_) {
        retired_.push_back(std::move(window_));
    } else {
        window_.reset();
    }
}

void X11Backend::HostIdle()
{
    // Not again from a host call made inside.
    if (!window_ || pumping_) return;
    x11::XcbWindow* const side = window_.get();
    pumping_ = true;
    // Only the last of a run of pointer moves counts: drags measure from the
    // last position, so nothing is lost.
    xcb_generic_event_t* motion = nullptr;
    while (window_.get() == side && !editor_.InputHeld()) {
        xcb_generic_event_t* event = side->Poll();
        if (!event) break;
        if (EventType(event) == XCB_MOTION_NOTIFY) {
            std::free(motion);
            motion = event;
            continue;
        }
        if (motion) {
            Dispatch(motion);
            std::free(motion);
            motion = nullptr;
            if (window_.get() != side) {
                std::free(event);
                break;
            }
        }
        Dispatch(event);
        std::free(event);
    }
    if (motion && window_.get() == side) Dispatch(motion);
    std::free(motion);

    // A lost server or a window destroyed with the host's: nothing is left to show.
    if (window_.get() == side && (side->Broken() || side->Gone())) editor_.CloseEditorWindow();
    if (window_.get() == side) editor_.TickWhenDue();
    pumping_ = false;
    retired_.clear();
    if (window_) window_->Flush();
}

void X11Backend::Dispatch(xcb_generic_event_t* event)
{
    const xcb_window_t self = window_->Id();
    const xcb_window_t boxId = box_ ? box_->Id() : XCB_NONE;
    switch (EventType(event)) {
    case XCB_BUTTON_PRESS: {
        const auto& e = *reinterpret_cast<xcb_button_press_event_t*>(event);
        if (box_ && e.event == boxId) {
            BoxPress(e);
        } else if (e.event == self) {
            Press(e);
        }
        break;
    }
    case XCB_BUTTON_RELEASE: {
        const auto& e = *reinterpret_cast<xcb_button_release_event_t*>(event);
        if (e.event != self) break;
        WindowEvent release{.kind = WindowEventKind::Release, .x = e.event_x, .y = e.event_y};
        release.button = ButtonOf(e.detail);
        release.modifiers = x11::ModifiersOf(e.state, 0, e.detail);
        Send(release);
        break;
    }
    case XCB_MOTION_NOTIFY: {
        const auto& e = *reinterpret_cast<xcb_motion_notify_event_t*>(event);
        if (e.event != self) break;
        WindowEvent motion{.kind = WindowEventKind::Motion, .x = e.event_x, .y = e.event_y};
        motion.modifiers = x11::ModifiersOf(e.state);
        Send(motion);
        break;
    }
    case XCB_LEAVE_NOTIFY: {
        const auto& e = *reinterpret_cast<xcb_leave_notify_event_t*>(event);
        // Moving onto the box is not leaving.
        if (e.event != self || e.mode != XCB_NOTIFY_MODE_NORMAL || e.detail == XCB_NOTIFY_DETAIL_INFERIOR) break;
        Send(WindowEvent{.kind = WindowEventKind::Leave});
        break;
    }
    case XCB_KEY_PRESS: {
        const auto& e = *reinterpret_cast<xcb_key_press_event_t*>(event);
        if (box_ && e.event == boxId) {
            BoxKey(e);
        } else if (e.event == self) {
            const int key = x11::VirtualKeyOfKeysym(KeysymOf(e.detail, e.state));
            WindowEvent press{.kind = WindowEventKind::Key, .x = e.event_x, .y = e.event_y};
            press.value = key < 0 ? -1 : KeyCodeForVirtualKey(static_cast<std::uintptr_t>(key));
            Send(press);
        }
        break;
    }
    case XCB_FOCUS_IN:
    case XCB_FOCUS_OUT: {
        const auto& e = *reinterpret_cast<xcb_focus_in_event_t*>(event);
        if (box_ && e.event == boxId) BoxFocus(EventType(event) == XCB_FOCUS_IN, e.mode, e.detail);
        break;
    }
    case XCB_EXPOSE: {
        const auto& e = *reinterpret_cast<xcb_expose_event_t*>(event);
        // The editor window repaints itself from its picture; the box is drawn by hand.
        if (box_ && e.window == boxId && e.count == 0) ShowBox();
        break;
    }
    case XCB_DESTROY_NOTIFY: {
        const auto& e = *reinterpret_cast<xcb_destroy_notify_event_t*>(event);
        if (e.window == self) window_->SetGone();
        break;
    }
    case XCB_MAPPING_NOTIFY:
        window_->KeyboardChanged(reinterpret_cast<xcb_mapping_notify_event_t*>(event));
        break;
    default:
        break; // errors of requests on windows that went away with the host's, and the rest
    }
}

void X11Backend::Press(const xcb_button_press_event_t& e)
{
    if (const int notches = x11::WheelNotches(e.detail)) {
        WindowEvent wheel{.kind = WindowEventKind::Wheel, .x = e.event_x, .y = e.event_y};
        wheel.modifiers = x11::ModifiersOf(e.state);
        wheel.value = notches;
        Send(wheel);
        return;
    }
    WindowEvent press{.kind = WindowEventKind::Press, .x = e.event_x, .y = e.event_y};
    press.button = ButtonOf(e.detail);
    press.modifiers = x11::ModifiersOf(e.state, e.detail);
    press.time = e.time;
    Send(press);
}

// ---- the value box ------------------------------------------------------------------

bool X11Backend::OpenBox(const TextEntryPlan& plan, const IParameter& parameter)
{
    // A window that is going away gets no box; the editor still records it.
    if (!Usable()) return true;
    std::vector<std::string> items;
    if (plan.choiceList)
        for (int i = 0; i < parameter.ValueTextCount(); ++i) items.emplace_back(parameter.ValueTextAt(i));
    box_ = std::make_unique<x11::XcbEntryBox>(*window_, plan, std::move(items));
    ShowBox();
    return true;
}

void X11Backend::BoxPress(const xcb_button_press_event_t& e)
{
    if (e.detail != x11::kLeftButton) return;
    if (!box_->IsList()) {
        box_->TakeFocus(); // back into the box after the focus went elsewhere
        return;
    }
    // Picking a value commits it, as a selection in the Windows list does.
    const int row = box_->RowAt(e.event_y);
    if (row >= 0) Send(WindowEvent{.kind = WindowEventKind::BoxPick, .value = row});
}

void X11Backend::BoxKey(const xcb_key_press_event_t& e)
{
    const xcb_keysym_t sym = KeysymOf(e.detail, e.state);
    switch (x11::EntryKeyOf(sym)) {
    case x11::EntryKey::Commit:
        Send(WindowEvent{.kind = WindowEventKind::BoxCommit});
        return;
    case x11::EntryKey::Cancel:
        Send(WindowEvent{.kind = WindowEventKind::BoxCancel});
        return;
    case x11::EntryKey::Erase:
        Send(WindowEvent{.kind = WindowEventKind::BoxErase});
        return;
    case x11::EntryKey::Previous:
        Send(WindowEvent{.kind = WindowEventKind::BoxStep, .value = -1});
        return;
    case x11::EntryKey::Next:
        Send(WindowEvent{.kind = WindowEventKind::BoxStep, .value = 1});
        return;
    case x11::EntryKey::Other:
        break;
    }
    const char typed = x11::CharacterOfKey(window_->Keysym(e.detail, 0), window_->Keysym(e.detail, 1), e.state);
    if (typed != 0) Send(WindowEvent{.kind = WindowEventKind::BoxType, .value = typed});
}

void X11Backend::BoxFocus(bool in, std::uint8_t mode, std::uint8_t detail)
{
    // Keyboard grabs and the pointer's own focus events say nothing about the box.
    if (mode == XCB_NOTIFY_MODE_GRAB || mode == XCB_NOTIFY_MODE_UNGRAB || detail == XCB_NOTIFY_DETAIL_POINTER) return;
    Send(WindowEvent{.kind = in ? WindowEventKind::BoxFocus : WindowEventKind::BoxBlur});
}

} // namespace

std::unique_ptr<IWindowBackend> MakeWindowBackend(IEditorWindow& editor)
{
    return std::make_unique<X11Backend>(editor);
}

} // namespace mg
