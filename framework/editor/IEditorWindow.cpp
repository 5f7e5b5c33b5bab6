#include "IEditorWindow.h"

#include <cstring>

#include "core/IAudioPlugin.h"
#include "editor/DisplayScale.h"
#include "editor/IControl.h"
#include "raster/BlitPixels.h"
#include "raster/DecodeImage.h"

namespace mg {

namespace {

unsigned ButtonBit(MouseButton button)
{
    switch (button) {
    case MouseButton::Left: return 1u;
    case MouseButton::Right: return 2u;
    default: return 0u;
    }
}

} // namespace

IEditorWindow::IEditorWindow(IAudioPlugin* owner, int width, int height, int frameRate)
    : IEditorWindow(owner, width, height, frameRate, &MakeWindowBackend)
{
}

IEditorWindow::IEditorWindow(IAudioPlugin* owner, int width, int height, int frameRate,
                             std::unique_ptr<IWindowBackend> (*makeBackend)(IEditorWindow&))
    : IGraphics(owner, width, height, frameRate), backend_(makeBackend(*this))
{
}

IEditorWindow::~IEditorWindow()
{
    // The plug-in is being destroyed around the editor: no release reaches
    // its controls now.
    ForgetPointer(false);
    EndTextEntry();
    backend_->Close();
    // Before the base class releases the draw surface the backend may have
    // drawn text on.
    backend_.reset();
}

// ---- opening and closing ------------------------------------------------------------

void* IEditorWindow::OpenEditorWindow(void* parent)
{
    // Opening again while open: the new window takes the old one's place,
    // with nothing of the old one's input or box.
    ForgetPointer(true);
    EndTextEntry();
    const int scaleBefore = ScalePercent();
    SetSystemScale(SnapScalePercent(backend_->SystemScale(parent)));
    if (!backend_->Open(parent)) return nullptr;
    // The system's scale is known only now: the host's window takes the
    // new size if it will (it also hears it from the size it asks for).
    if (ScalePercent() != scaleBefore) IGraphics::ResizeHostWindow(EditorWidth(), EditorHeight());
    windowThread_ = std::this_thread::get_id();
    // The first tick redraws the whole editor.
    MarkAllControlsDirty();
    nextTick_ = std::chrono::steady_clock::now();
    return backend_->Handle();
}

void IEditorWindow::CloseEditorWindow()
{
    if (!backend_->IsOpen()) return;
    ForgetPointer(true);
    // The box goes with the window; nothing it held is committed.
    EndTextEntry();
    backend_->Close();
}

bool IEditorWindow::IsWindowOpen() const { return backend_->IsOpen(); }

void* IEditorWindow::WindowHandle() const { return backend_->Handle(); }

void IEditorWindow::ForgetPointer(bool release)
{
    const bool held = pressed_ != 0;
    pressed_ = 0;
    captured_ = false;
    inputHeld_ = false;
    leaveWanted_ = false;
    clicks_.Forget();
    // A press whose release will never come now: its control is released
    // where the pointer was last, which ends the edit gesture it began.
    if (release && held && CapturedControl() >= 0) MouseUp(LastMouseX(), LastMouseY(), IMouseModifiers{});
}

// ---- the tick ---------------------------------------------------------------------------

void IEditorWindow::HostIdle()
{
    // Not from another thread: the window belongs to the one that opened it.
    if (!backend_->IsOpen() || std::this_thread::get_id() != windowThread_) return;
    backend_->HostIdle();
}

void IEditorWindow::TickWhenDue()
{
    const auto now = std::chrono::steady_clock::now();
    if (now < nextTick_) return;
    const std::chrono::milliseconds period(1000 / FrameRate());
    nextTick_ += period;
    if (nextTick_ <= now) nextTick_ = now + period;
    Tick();
}

void IEditorWindow::Tick()
{
    inputHeld_ = false;
    RedrawTick();
}

// ---- input ----------------------------------------------------------------------------

WindowEvent IEditorWindow::Logical(const WindowEvent& event) const
{
    WindowEvent logical = event;
    logical.x = ToLogical(event.x, ScalePercent());
    logical.y = ToLogical(event.y, ScalePercent());
    logical.area = ToLogicalCover(event.area, ScalePercent());
    return logical;
}

EventReply IEditorWindow::HandleWindowEvent(const WindowEvent& deviceEvent)
{
    using Kind = WindowEventKind;
    // Backends report device pixels; the controls live in logical ones.
    const WindowEvent event = ScalePercent() == 100 ? deviceEvent : Logical(deviceEvent);
    const WindowTraits traits = backend_->Traits();
    switch (event.kind) {
    case Kind::Press:
        return Press(event, traits);
    case Kind::Release:
        return Release(event, traits);
    case Kind::CaptureLost:
        captured_ = false;
        return EventReply::Default;
    case Kind::BoxFocus:
    case Kind::BoxBlur:
    case Kind::BoxCommit:
    case Kind::BoxCancel:
    case Kind::BoxType:
    case Kind::BoxErase:
    case Kind::BoxPick:
    case Kind::BoxStep:
        return BoxEvent(event, traits);
    default:
        break;
    }

    // While the box has the keyboard the editor stands still.
    if (TextEntryOpen() && CurrentTextEntryState() == TextEntryState::Focused) return EventReply::Default;

    switch (event.kind) {
    case Kind::DoubleClick:
        if (MouseDoubleClick(event.x, event.y, event.modifiers)) Capture(MouseButton::Left);
        break;
    case Kind::Motion:
        if (event.modifiers.left || event.modifiers.right) {
            if (captured_) MouseDrag(event.x, event.y, event.modifiers);
        } else if (MouseHover(event.x, event.y, event.modifiers)) {
            leaveWanted_ = true;
            return EventReply::TrackLeave;
        }
        break;
    case Kind::Wheel:
        MouseWheel(event.x, event.y, event.modifiers, event.value);
        break;
    case Kind::Key:
        if (event.value >= 0) KeyPress(event.x, event.y, event.value);
        break;
    case Kind::Leave:
        if (!leaveWanted_) break;
        leaveWanted_ = false;
        MouseLeave();
        break;
    case Kind::Paint:
        if (event.value != 0) DrawDirtyArea(event.area);
        break;
    case Kind::Tick:
        Tick();
        break;
    case Kind::Close:
        CloseEditorWindow();
        break;
    default:
        return EventReply::Default;
    }
    return EventReply::Done;
}

EventReply IEditorWindow::Press(const WindowEvent& event, const WindowTraits& traits)
{
    const bool pointer = event.button == MouseButton::Left || event.button == MouseButton::Right;
    // A right press anywhere on the editor puts the box away and goes no
    // further; so does any press outside the editor's own box.
    if (TextEntryOpen() && pointer && (traits.ownValueBox || event.button == MouseButton::Right)) {
        SetTextEntryState(TextEntryState::Cancel);
        clicks_.Forget();
        return EventReply::Done;
    }
    if (!pointer) {
        clicks_.Forget(); // the middle and other buttons do nothing, but end a double click
        return EventReply::Done;
    }
    if (TextEntryOpen() && CurrentTextEntryState() == TextEntryState::Focused) return EventReply::Default;

    if (!traits.reportsDoubleClicks &&
        clicks_.Press(static_cast<int>(ButtonBit(event.button)), event.time, event.x, event.y)) {
        // As where the platform reports them, a right double click is no
        // event of its own: its second press goes nowhere.
        if (event.button == MouseButton::Left && MouseDoubleClick(event.x, event.y, event.modifiers))
            Capture(MouseButton::Left);
        return EventReply::Done;
    }
    Capture(event.button);
    MouseDown(event.x, event.y, event.modifiers);
    return EventReply::Done;
}

EventReply IEditorWindow::Release(const WindowEvent& event, const WindowTraits& traits)
{
    const unsigned bit = ButtonBit(event.button);
    if (bit == 0) return EventReply::Done;
    // The editor's own box has the keyboard from the start, yet the release
    // of the press that opened it still ends that press's gesture.
    if (!traits.ownValueBox && TextEntryOpen() && CurrentTextEntryState() == TextEntryState::Focused)
        return EventReply::Default;
    // Only a release whose press reached the editor, so that every begun
    // edit gesture ends once, unless the platform's rule is that every
    // release reaches the editor.
    if (!traits.releasesAlwaysReachEditor && (pressed_ & bit) == 0) return EventReply::Done;
    pressed_ &= ~bit;
    captured_ = false;
    backend_->Capture(false);
    MouseUp(event.x, event.y, event.modifiers);
    return EventReply::Done;
}

void IEditorWindow::Capture(MouseButton button)
{
    backend_->Capture(true);
    captured_ = true;
    pressed_ |= ButtonBit(button);
    inputHeld_ = true;
}

// ---- the value box --------------------------------------------------------------------

EventReply IEditorWindow::BoxEvent(const WindowEvent& event, const WindowTraits& traits)
{
    using Kind = WindowEventKind;
    if (!TextEntryOpen()) return EventReply::Done;
    const TextEntryState state = CurrentTextEntryState();
    switch (event.kind) {
    case Kind::BoxFocus:
    case Kind::BoxBlur:
        // The editor's own box: a commit or cancel already asked for stands,
        // whatever the focus does.
        if (traits.ownValueBox && (state == TextEntryState::Commit || state == TextEntryState::Cancel)) break;
        if (event.kind == Kind::BoxFocus) {
            SetTextEntryState(TextEntryState::Focused);
        } else if (!traits.ownValueBox || state == TextEntryState::Focused) {
            SetTextEntryState(TextEntryState::None);
        }
        break;
    case Kind::BoxCommit:
        SetTextEntryState(TextEntryState::Commit);
        break;
    case Kind::BoxCancel:
        SetTextEntryState(TextEntryState::Cancel);
        break;
    case Kind::BoxType:
        if (plan_.choiceList) break;
        TypeIntoEntry(promptText_, sizeof promptText_, promptFresh_, static_cast<char>(event.value));
        backend_->ShowBox();
        break;
    case Kind::BoxErase:
        if (plan_.choiceList) break;
        EraseFromEntry(promptText_, promptFresh_);
        backend_->ShowBox();
        break;
    case Kind::BoxPick:
        PickRow(event.value);
        break;
    case Kind::BoxStep: {
        if (!plan_.choiceList) break;
        // The arrows step through the list, and each step is a pick.
        const int row = PromptSelection();
        PickRow(row < 0 ? 0 : row + event.value);
        break;
    }
    default:
        break;
    }
    return EventReply::Done;
}

void IEditorWindow::PickRow(int row)
{
    const IParameter* parameter = TextEntryParameter();
    if (!plan_.choiceList || !parameter || row < 0 || row >= parameter->ValueTextCount()) return;
    SetPromptText(parameter->ValueTextAt(row));
    backend_->ShowBox();
    SetTextEntryState(TextEntryState::Commit);
}

int IEditorWindow::PromptSelection() const
{
    const IParameter* parameter = TextEntryParameter();
    if (!plan_.choiceList || !parameter) return -1;
    int selection = -1;
    for (int i = 0; i < parameter->ValueTextCount(); ++i)
        if (std::strcmp(parameter->ValueTextAt(i), promptText_) == 0) selection = i;
    return selection;
}

void IEditorWindow::PromptForParameterValue(IControl* control, IParameter* parameter)
{
    if (!control || !parameter || TextEntryOpen()) return;
    plan_ = PlanTextEntry(control->DrawRect(), *parameter);
    SetPromptText(plan_.choiceList ? "" : plan_.text);
    if (plan_.choiceList && plan_.selection >= 0) SetPromptText(parameter->ValueTextAt(plan_.selection));
    promptFresh_ = true;
    if (backend_->IsOpen() && !backend_->OpenBox(plan_, *parameter)) {
        plan_ = TextEntryPlan{};
        SetPromptText("");
        promptFresh_ = false;
        return;
    }
    BeginTextEntry(control, parameter);
    // The press that opened the box pairs with no later one: what follows
    // is about the box.
    clicks_.Forget();
}

void* IEditorWindow::TextEntryWindow() const { return backend_->BoxHandle(); }

void IEditorWindow::TypeInPrompt(const char* text)
{
    if (!TextEntryOpen()) return;
    SetPromptText(text ? text : "");
    promptFresh_ = false;
    if (backend_->IsOpen()) backend_->ShowBox();
}

void IEditorWindow::FocusPrompt(bool focused)
{
    if (TextEntryOpen()) SetTextEntryState(focused ? TextEntryState::Focused : TextEntryState::None);
}

void IEditorWindow::CommitPrompt()
{
    if (TextEntryOpen()) SetTextEntryState(TextEntryState::Commit);
}

void IEditorWindow::CancelPrompt()
{
    if (TextEntryOpen()) SetTextEntryState(TextEntryState::Cancel);
}

void IEditorWindow::WriteTextEntry(const char* text)
{
    SetPromptText(text ? text : "");
    promptFresh_ = true;
    if (backend_->IsOpen()) backend_->ShowBox();
}

void IEditorWindow::ReadTextEntry(char* out, std::size_t capacity)
{
    if (backend_->IsOpen() && backend_->ReadBox(out, capacity)) return;
    CopyBounded(out, capacity, promptText_);
}

void IEditorWindow::DestroyTextEntry()
{
    backend_->CloseBox();
    plan_ = TextEntryPlan{};
    SetPromptText("");
    promptFresh_ = false;
}

// ---- surfaces and size ----------------------------------------------------------------

bool IEditorWindow::CreateDrawSurface()
{
    const bool made = IGraphics::CreateDrawSurface();
    presented_.Resize(EditorWidth(), EditorHeight());
    if (presented_.Pixels())
        std::memset(presented_.Pixels(), 0,
                    static_cast<std::size_t>(presented_.Width()) * static_cast<std::size_t>(presented_.Height()) * 4);
    return made;
}

bool IEditorWindow::PresentArea(const IRectangle& area)
{
    ++presentCount_;
    lastPresented_ = area;
    const IBitmap* surface = DrawSurface();
    if (!surface) return true;
    if (presented_.Width() != surface->Width() || presented_.Height() != surface->Height())
        presented_.Resize(surface->Width(), surface->Height());
    const IRectangle device = ToDevice(area, ScalePercent());
    const PixelRect rect{device.left, device.top, device.right, device.bottom};
    BlitPixels(presented_, *surface, device.left, device.top, &rect, 1.0f, kPixelOverwrite);
    return backend_->IsOpen() ? backend_->Present(*surface, device) : true;
}

void IEditorWindow::RepaintArea(const IRectangle& area)
{
    if (backend_->IsOpen() && backend_->Repaint(ToDevice(area, ScalePercent()))) return;
    IGraphics::RepaintArea(area);
}

void IEditorWindow::ResizeEditor(int width, int height)
{
    const int oldWidth = EditorWidth();
    const int oldHeight = EditorHeight();
    IGraphics::ResizeEditor(width, height);
    if (DrawSurface()) presented_.Resize(EditorWidth(), EditorHeight());
    if (backend_->IsOpen()) backend_->Resize(oldWidth, oldHeight, EditorWidth(), EditorHeight());
}

void IEditorWindow::ScaleChanging()
{
    // A knob held across the change is let go where it was: its gesture
    // ends, and the next press measures in the new size.
    ForgetPointer(true);
    EndTextEntry();
}

bool IEditorWindow::ResizeHostWindow(int width, int height)
{
    if (!IGraphics::ResizeHostWindow(width, height)) return false;
    backend_->Resize(ToDevice(Width(), ScalePercent()), ToDevice(Height(), ScalePercent()), width, height);
    return true;
}

// ---- platform services ------------------------------------------------------------------

bool IEditorWindow::DrawTextInBox(const ITextStyle& style, const char* text, const IRectangle& rect)
{
    return backend_->DrawTextInBox(style, text, rect);
}

void IEditorWindow::HostExecutablePath(char* out, std::size_t capacity) { HostProgramFolder(out, capacity); }

void IEditorWindow::PluginFilePath(char* out, std::size_t capacity) { ModuleFolder(module_, out, capacity); }

void IEditorWindow::PromptForFile(char* path, std::size_t capacity, int action, const char* directory,
                                  const char* /*extensions*/)
{
    CopyBounded(path, capacity, "");
    if (backend_->IsOpen()) backend_->PromptForFile(path, capacity, action, directory);
}

bool IEditorWindow::PromptForColour(IColourARGB& colour, const char* prompt)
{
    return backend_->IsOpen() && backend_->PromptForColour(colour, prompt);
}

bool IEditorWindow::OpenLink(const char* address, const char* title, const char* confirmText, const char* errorText)
{
    if (!address || !*address) return false;
    return backend_->OpenLink(address, title, confirmText, errorText);
}

std::unique_ptr<IBitmap> IEditorWindow::DecodeImageResource(int id, const char* fileName)
{
    return DecodeImageByName(module_, id, fileName);
}

const char* IEditorWindow::WindowTitle() const
{
    return Owner() ? Owner()->WindowTitle() : "";
}

} // namespace mg
