#include "IEditorWindow.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "X11Input.h"
#include "XcbWindow.h"
#include "core/FixedText.h"
#include "editor/IControl.h"
#include "editor/KeyCodes.h"

namespace mg {

namespace {

constexpr const char* kWindowTitle = "Marrow-Grit";
constexpr const char* kWindowClass = "IAudioPluginWndClass";

unsigned ButtonBit(int button) { return 1u << button; }

std::uint8_t EventType(const xcb_generic_event_t* event) { return event->response_type & 0x7F; }

} // namespace

// ---- the X11 side of an open window ------------------------------------------------

class IEditorWindow::XSide {
public:
    XSide(IEditorWindow& editor, std::unique_ptr<x11::XcbWindow> xcbWindow)
        : window(std::move(xcbWindow)), editor_(editor)
    {
    }

    void Handle(xcb_generic_event_t* event);
    void OpenBox();
    void DrawBox();

    // The window is declared before the box, which must go first.
    std::unique_ptr<x11::XcbWindow> window;
    std::unique_ptr<x11::XcbEntryBox> box;
    // Set by a press that reached the editor: the events after it wait for
    // the next redraw tick. Observers look at controls once per tick (the
    // footswitch toggles on a press it sees there), so a click quicker than
    // a tick would otherwise come and go unseen.
    bool holdUntilTick = false;

private:
    IEditorWindow& editor_;

    bool BoxFocused() const
    {
        return editor_.TextEntryOpen() && editor_.CurrentTextEntryState() == TextEntryState::Focused;
    }
    int BoxSelection() const;
    xcb_keysym_t KeysymOf(xcb_keycode_t code, unsigned state)
    {
        return x11::KeysymOfPress(window->Keysym(code, 0), window->Keysym(code, 1), state);
    }

    void Press(const xcb_button_press_event_t& e);
    void Release(const xcb_button_release_event_t& e);
    void Motion(const xcb_motion_notify_event_t& e);
    void Leave(const xcb_leave_notify_event_t& e);
    void Key(const xcb_key_press_event_t& e);
    void BoxPress(const xcb_button_press_event_t& e);
    void BoxKey(const xcb_key_press_event_t& e);
    void BoxFocus(bool in, std::uint8_t mode, std::uint8_t detail);

    x11::DoubleClickClock clicks_{kDoubleClickMilliseconds, kDoubleClickSlop};
    // Set by a press that reached the editor, as the Windows editor captures
    // the mouse: only then does a move with a button held drag.
    bool captured_ = false;
    // Buttons whose press reached the editor: their release does too, and
    // only theirs, so every begun edit gesture ends once.
    unsigned routed_ = 0;
    // The editor asked to hear when the pointer leaves (MouseHover).
    bool leaveWanted_ = false;
};

void IEditorWindow::XSide::Handle(xcb_generic_event_t* event)
{
    const xcb_window_t self = window->Id();
    const xcb_window_t boxId = box ? box->Id() : XCB_NONE;
    switch (EventType(event)) {
    case XCB_BUTTON_PRESS: {
        const auto& e = *reinterpret_cast<xcb_button_press_event_t*>(event);
        if (box && e.event == boxId) {
            BoxPress(e);
        } else if (e.event == self) {
            Press(e);
        }
        break;
    }
    case XCB_BUTTON_RELEASE: {
        const auto& e = *reinterpret_cast<xcb_button_release_event_t*>(event);
        if (e.event == self) Release(e);
        break;
    }
    case XCB_MOTION_NOTIFY: {
        const auto& e = *reinterpret_cast<xcb_motion_notify_event_t*>(event);
        if (e.event == self) Motion(e);
        break;
    }
    case XCB_LEAVE_NOTIFY: {
        const auto& e = *reinterpret_cast<xcb_leave_notify_event_t*>(event);
        if (e.event == self) Leave(e);
        break;
    }
    case XCB_KEY_PRESS: {
        const auto& e = *reinterpret_cast<xcb_key_press_event_t*>(event);
        if (box && e.event == boxId) {
            BoxKey(e);
        } else if (e.event == self) {
            Key(e);
        }
        break;
    }
    case XCB_FOCUS_IN:
    case XCB_FOCUS_OUT: {
        const auto& e = *reinterpret_cast<xcb_focus_in_event_t*>(event);
        if (box && e.event == boxId) BoxFocus(EventType(event) == XCB_FOCUS_IN, e.mode, e.detail);
        break;
    }
    case XCB_EXPOSE: {
        const auto& e = *reinterpret_cast<xcb_expose_event_t*>(event);
        // The editor window repaints itself from its picture; the box is drawn by hand.
        if (box && e.window == boxId && e.count == 0) DrawBox();
        break;
    }
    case XCB_DESTROY_NOTIFY: {
        const auto& e = *reinterpret_cast<xcb_destroy_notify_event_t*>(event);
        if (e.window == self) window->SetGone();
        break;
    }
    case XCB_MAPPING_NOTIFY:
        window->KeyboardChanged(reinterpret_cast<xcb_mapping_notify_event_t*>(event));
        break;
    default:
        break; // errors of requests on windows that went away with the host's, and the rest
    }
}

void IEditorWindow::XSide::Press(const xcb_button_press_event_t& e)
{
    const int button = e.detail;
    const int x = e.event_x, y = e.event_y;
    const bool pointerButton = button == x11::kLeftButton || button == x11::kRightButton;
    if (editor_.TextEntryOpen() && pointerButton) {
        // A press on the editor outside the box puts the box away and goes no further.
        editor_.SetTextEntryState(TextEntryState::Cancel);
        clicks_.Forget();
        return;
    }
    if (const int notches = x11::WheelNotches(button)) {
        if (!BoxFocused()) editor_.MouseWheel(x, y, x11::ModifiersOf(e.state), notches);
        return;
    }
    if (!pointerButton) {
        clicks_.Forget(); // the middle and other buttons do nothing, but end a double click
        return;
    }
    const IMouseModifiers modifiers = x11::ModifiersOf(e.state, button);
    if (clicks_.Press(button, e.time, x, y)) {
        // As on Windows, a right double click has no message: its second press goes nowhere.
        if (button == x11::kLeftButton && editor_.MouseDoubleClick(x, y, modifiers)) {
            captured_ = true;
            routed_ |= ButtonBit(button);
            holdUntilTick = true;
        }
        return;
    }
    captured_ = true;
    routed_ |= ButtonBit(button);
    holdUntilTick = true;
    editor_.MouseDown(x, y, modifiers);
}

void IEditorWindow::XSide::Release(const xcb_button_release_event_t& e)
{
    const int button = e.detail;
    if ((routed_ & ButtonBit(button)) == 0) return;
    routed_ &= ~ButtonBit(button);
    captured_ = false;
    editor_.MouseUp(e.event_x, e.event_y, x11::ModifiersOf(e.state, 0, button));
}

void IEditorWindow::XSide::Motion(const xcb_motion_notify_event_t& e)
{
    if (BoxFocused()) return;
    const IMouseModifiers modifiers = x11::ModifiersOf(e.state);
    if (modifiers.left || modifiers.right) {
        if (captured_) editor_.MouseDrag(e.event_x, e.event_y, modifiers);
        return;
    }
    if (editor_.MouseHover(e.event_x, e.event_y, modifiers)) leaveWanted_ = true;
}

void IEditorWindow::XSide::Leave(const xcb_leave_notify_event_t& e)
{
    // Moving onto the box is not leaving.
    if (!leaveWanted_ || e.mode != XCB_NOTIFY_MODE_NORMAL || e.detail == XCB_NOTIFY_DETAIL_INFERIOR) return;
    if (BoxFocused()) return;
    leaveWanted_ = false;
    editor_.MouseLeave();
}

void IEditorWindow::XSide::Key(const xcb_key_press_event_t& e)
{
    if (BoxFocused()) return;
    const int key = x11::VirtualKeyOfKeysym(KeysymOf(e.detail, e.state));
    const int code = key < 0 ? -1 : KeyCodeForVirtualKey(static_cast<std::uintptr_t>(key));
    if (code >= 0) editor_.KeyPress(e.event_x, e.event_y, code);
}

// ---- the value box ------------------------------------------------------------------

int IEditorWindow::XSide::BoxSelection() const
{
    if (!box || !box->IsList()) return -1;
    int selection = -1;
    for (int i = 0; i < box->ItemCount(); ++i)
        if (std::strcmp(box->Item(i), editor_.PromptText()) == 0) selection = i;
    return selection;
}

void IEditorWindow::XSide::OpenBox()
{
    IParameter* parameter = editor_.TextEntryParameter();
    std::vector<std::string> items;
    if (editor_.PromptPlan().choiceList && parameter)
        for (int i = 0; i < parameter->ValueTextCount(); ++i) items.emplace_back(parameter->ValueTextAt(i));
    box = std::make_unique<x11::XcbEntryBox>(*window, editor_.PromptPlan(), std::move(items));
    DrawBox();
    // The press that opened the box pairs with no later one: what follows
    // is about the box.
    clicks_.Forget();
}

void IEditorWindow::XSide::DrawBox()
{
    if (box) box->Draw(editor_.PromptText(), editor_.promptFresh_, BoxSelection());
}

void IEditorWindow::XSide::BoxPress(const xcb_button_press_event_t& e)
{
    if (e.detail != x11::kLeftButton) return;
    if (!box->IsList()) {
        box->TakeFocus(); // back into the box after the focus went elsewhere
        return;
    }
    // Picking a value commits it, as a selection in the Windows list does.
    const int row = box->RowAt(e.event_y);
    if (row < 0) return;
    editor_.SetPromptText(box->Item(row));
    DrawBox();
    editor_.SetTextEntryState(TextEntryState::Commit);
}

void IEditorWindow::XSide::BoxKey(const xcb_key_press_event_t& e)
{
    const xcb_keysym_t sym = KeysymOf(e.detail, e.state);
    switch (x11::EntryKeyOf(sym)) {
    case x11::EntryKey::Commit:
        editor_.SetTextEntryState(TextEntryState::Commit);
        return;
    case x11::EntryKey::Cancel:
        editor_.SetTextEntryState(TextEntryState::Cancel);
        return;
    case x11::EntryKey::Erase:
        if (!box->IsList()) {
            x11::EraseFromEntry(editor_.PromptBuffer(), editor_.promptFresh_);
            DrawBox();
        }
        return;
    case x11::EntryKey::Previous:
    case x11::EntryKey::Next: {
        if (!box->IsList() || box->ItemCount() == 0) return;
        // The arrows step through the list, and each step is a selection.
        const int step = x11::EntryKeyOf(sym) == x11::EntryKey::Next ? 1 : -1;
        int row = BoxSelection();
        row = row < 0 ? 0 : row + step;
        if (row < 0 || row >= box->ItemCount()) return;
        editor_.SetPromptText(box->Item(row));
        DrawBox();
        editor_.SetTextEntryState(TextEntryState::Commit);
        return;
    }
    case x11::EntryKey::Other:
        break;
    }
    if (box->IsList()) return;
    const char typed = x11::CharacterOfKey(window->Keysym(e.detail, 0), window->Keysym(e.detail, 1), e.state);
    if (typed == 0) return;
    x11::TypeIntoEntry(editor_.PromptBuffer(), kPromptCapacity, editor_.promptFresh_, typed);
    DrawBox();
}

void IEditorWindow::XSide::BoxFocus(bool in, std::uint8_t mode, std::uint8_t detail)
{
    // Keyboard grabs and the pointer's own focus events say nothing about the box.
    if (mode == XCB_NOTIFY_MODE_GRAB || mode == XCB_NOTIFY_MODE_UNGRAB || detail == XCB_NOTIFY_DETAIL_POINTER) return;
    const TextEntryState state = editor_.CurrentTextEntryState();
    // A commit or cancel already asked for stands, whatever the focus does.
    if (state == TextEntryState::Commit || state == TextEntryState::Cancel) return;
    if (in) {
        editor_.SetTextEntryState(TextEntryState::Focused);
    } else if (state == TextEntryState::Focused) {
        editor_.SetTextEntryState(TextEntryState::None);
    }
}

// ---- construction, surfaces ------------------------------------------------------------

IEditorWindow::IEditorWindow(IAudioPlugin* owner, int width, int height, int frameRate)
    : IOffscreenEditor(owner, width, height, frameRate)
{
}

IEditorWindow::~IEditorWindow()
{
    CloseEditorWindow();
    retired_.clear();
    EndTextEntry();
}

bool IEditorWindow::PresentArea(const IRectangle& area)
{
    IOffscreenEditor::PresentArea(area);
    if (DrawSurface() && x_ && !x_->window->Broken()) x_->window->Show(PresentedSurface(), area);
    return true;
}

void IEditorWindow::ResizeEditor(int width, int height)
{
    IOffscreenEditor::ResizeEditor(width, height);
    if (x_ && !x_->window->Broken()) x_->window->Resize(width, height);
}

// ---- the window -------------------------------------------------------------------------

bool IEditorWindow::IsWindowOpen() const { return x_ != nullptr; }

void* IEditorWindow::WindowHandle() const
{
    return x_ ? reinterpret_cast<void*>(static_cast<std::uintptr_t>(x_->window->Id())) : nullptr;
}

void* IEditorWindow::OpenEditorWindow(void* parent)
{
    const auto id = reinterpret_cast<std::uintptr_t>(parent);
    if (id == 0 || id > UINT32_MAX) return nullptr; // not an X11 window id
    const auto parentId = static_cast<std::uint32_t>(id);
    // Opened again while open: the new window takes the old one's place.
    int x = 0, y = 0;
    if (x_) {
        if (!x_->window->OriginIn(parentId, x, y)) x = y = 0;
        CloseEditorWindow();
    }
    auto window = x11::XcbWindow::Open(parentId, x, y, Width(), Height(), DrawSurface() ? &PresentedSurface() : nullptr,
                                       kWindowTitle, kWindowClass);
    if (!window) return nullptr;
    x_ = std::make_unique<XSide>(*this, std::move(window));
    windowThread_ = std::this_thread::get_id();
    // The first idle call redraws the whole editor.
    MarkAllControlsDirty();
    nextTick_ = std::chrono::steady_clock::now();
    x_->window->Flush();
    return WindowHandle();
}

void IEditorWindow::CloseEditorWindow()
{
    if (!x_) return;
    // The box goes with the window; nothing it held is committed.
    EndTextEntry();
    if (pumping_) {
        retired_.push_back(std::move(x_));
    } else {
        x_.reset();
    }
}

void IEditorWindow::Idle()
{
    // Not from another thread, and not again from a host call made inside.
    if (!x_ || pumping_ || std::this_thread::get_id() != windowThread_) return;
    XSide* const side = x_.get();
    pumping_ = true;
    // Only the last of a run of pointer moves counts: drags measure from the
    // last position, so nothing is lost.
    xcb_generic_event_t* motion = nullptr;
    while (x_.get() == side && !side->holdUntilTick) {
        xcb_generic_event_t* event = side->window->Poll();
        if (!event) break;
        if (EventType(event) == XCB_MOTION_NOTIFY) {
            std::free(motion);
            motion = event;
            continue;
        }
        if (motion) {
            side->Handle(motion);
            std::free(motion);
            motion = nullptr;
            if (x_.get() != side) {
                std::free(event);
                break;
            }
        }
        side->Handle(event);
        std::free(event);
    }
    if (motion && x_.get() == side) side->Handle(motion);
    std::free(motion);

    // A lost server or a window destroyed with the host's: nothing is left to show.
    if (x_.get() == side && (side->window->Broken() || side->window->Gone())) CloseEditorWindow();

    if (x_.get() == side) {
        const auto now = std::chrono::steady_clock::now();
        if (now >= nextTick_) {
            const std::chrono::milliseconds period(1000 / FrameRate());
            nextTick_ += period;
            if (nextTick_ <= now) nextTick_ = now + period;
            side->holdUntilTick = false;
            RedrawTick();
        }
    }
    pumping_ = false;
    retired_.clear();
    if (x_) x_->window->Flush();
}

// ---- the value box --------------------------------------------------------------------

void IEditorWindow::PromptForParameterValue(IControl* control, IParameter* parameter)
{
    if (TextEntryOpen()) return;
    IOffscreenEditor::PromptForParameterValue(control, parameter);
    if (!TextEntryOpen()) return;
    promptFresh_ = true;
    if (x_ && !x_->window->Broken() && !x_->window->Gone()) x_->OpenBox();
}

void IEditorWindow::TypeInPrompt(const char* text)
{
    if (!TextEntryOpen()) return;
    IOffscreenEditor::TypeInPrompt(text);
    promptFresh_ = false;
    if (x_) x_->DrawBox();
}

void IEditorWindow::WriteTextEntry(const char* text)
{
    IOffscreenEditor::WriteTextEntry(text);
    promptFresh_ = true;
    if (x_) x_->DrawBox();
}

void IEditorWindow::DestroyTextEntry()
{
    if (x_) x_->box.reset();
    IOffscreenEditor::DestroyTextEntry();
    promptFresh_ = false;
}

} // namespace mg
