// The editor window's handling of window events, the same code on every
// platform, driven through a backend of the test's own with the traits of
// a platform that reports single presses and has no native value box (X11)
// and of one that reports double clicks and routes every release (Win32).
#include <gtest/gtest.h>

#include "EditorTestPlugin.h"

using namespace mg;
using mg::test::EditorTestPlugin;
using mg::test::ProbeControl;

namespace {

class FakeBackend final : public IWindowBackend {
public:
    explicit FakeBackend(const WindowTraits& traits) : traits_(traits) {}
    WindowTraits Traits() const override { return traits_; }
    bool Open(void*) override { return open_ = true; }
    void Close() override { open_ = false; }
    bool IsOpen() const override { return open_; }
    void* Handle() const override { return open_ ? const_cast<FakeBackend*>(this) : nullptr; }
    bool Present(const IBitmap&, const IRectangle&) override { return true; }
    bool Repaint(const IRectangle&) override { return false; }
    void Resize(int, int, int, int) override {}
    void Capture(bool) override {}
    bool OpenBox(const TextEntryPlan&, const IParameter&) override { return true; }
    void ShowBox() override {}
    bool ReadBox(char*, std::size_t) override { return false; }
    void CloseBox() override {}
    void* BoxHandle() const override { return nullptr; }

private:
    WindowTraits traits_;
    bool open_ = false;
};

std::unique_ptr<IWindowBackend> SinglePressBackend(IEditorWindow&)
{
    WindowTraits traits;
    traits.ownValueBox = true;
    return std::make_unique<FakeBackend>(traits);
}

std::unique_ptr<IWindowBackend> DoubleClickBackend(IEditorWindow&)
{
    WindowTraits traits;
    traits.reportsDoubleClicks = true;
    traits.releasesAlwaysReachEditor = true;
    return std::make_unique<FakeBackend>(traits);
}

WindowEvent Mouse(WindowEventKind kind, MouseButton button, std::uint32_t time = 0, int x = 30, int y = 30)
{
    WindowEvent event{.kind = kind, .x = x, .y = y, .button = button};
    event.modifiers.left = button == MouseButton::Left && kind != WindowEventKind::Release;
    event.modifiers.right = button == MouseButton::Right && kind != WindowEventKind::Release;
    event.time = time;
    return event;
}

struct Editor {
    explicit Editor(std::unique_ptr<IWindowBackend> (*backend)(IEditorWindow&)) : window(&plugin, 100, 100, 0, backend)
    {
        window.CreateDrawSurface();
        window.AttachControl(background);
        window.AttachControl(knob);
        int parent = 0;
        window.OpenEditorWindow(&parent);
    }
    void Send(WindowEventKind kind, MouseButton button, std::uint32_t time = 0, int x = 30, int y = 30)
    {
        window.HandleWindowEvent(Mouse(kind, button, time, x, y));
    }

    EditorTestPlugin plugin;
    IEditorWindow window;
    ProbeControl* background = new ProbeControl(&plugin, IRectangle(0, 0, 100, 100), -1);
    ProbeControl* knob = new ProbeControl(&plugin, IRectangle(20, 20, 60, 60), 0);
};

using Kind = WindowEventKind;

} // namespace

TEST(WindowEvents, DoubleClicksAndTheEndsOfEditGesturesFollowThePlatform)
{
    // Single presses only: the editor times them, and the second press of a
    // double click begins no gesture, so its release ends none.
    Editor timed(&SinglePressBackend);
    timed.Send(Kind::Press, MouseButton::Left, 1000);
    timed.Send(Kind::Release, MouseButton::Left, 1050);
    timed.Send(Kind::Press, MouseButton::Left, 1200);
    timed.Send(Kind::Release, MouseButton::Left, 1250);
    timed.Send(Kind::Press, MouseButton::Left, 1900); // too late: a press of its own
    timed.Send(Kind::Release, MouseButton::Left, 1950);
    EXPECT_EQ(timed.knob->Kinds(), "DU2DU");
    EXPECT_EQ(timed.plugin.Log(), "b0 e0 b0 e0");

    // The platform's own double clicks, and every release reaches the
    // editor, as the Windows window procedure has it.
    Editor reported(&DoubleClickBackend);
    reported.Send(Kind::Press, MouseButton::Left, 1000);
    reported.Send(Kind::Release, MouseButton::Left, 1050);
    reported.Send(Kind::Press, MouseButton::Left, 1100); // not taken for a double click
    reported.Send(Kind::Release, MouseButton::Left, 1150);
    reported.Send(Kind::DoubleClick, MouseButton::Left, 1200);
    reported.Send(Kind::Release, MouseButton::Left, 1250);
    EXPECT_EQ(reported.knob->Kinds(), "DUDU2U");
    EXPECT_EQ(reported.plugin.Log(), "b0 e0 b0 e0 e0");
}

TEST(WindowEvents, DragsNeedThePressAndClosingReleasesWhatIsHeld)
{
    Editor editor(&SinglePressBackend);
    editor.Send(Kind::Motion, MouseButton::Left, 0, 30, 20); // a button held since before: no drag
    editor.Send(Kind::Press, MouseButton::Left, 0, 30, 30);
    editor.Send(Kind::Motion, MouseButton::Left, 0, 30, 25);
    EXPECT_EQ(editor.knob->Kinds(), "DG");

    // The window goes with the button still down: the press's gesture ends.
    editor.window.CloseEditorWindow();
    EXPECT_EQ(editor.knob->Kinds(), "DGU");
    EXPECT_EQ(editor.plugin.Log(), "b0 e0");
    EXPECT_EQ(editor.window.CapturedControl(), -1);
}

TEST(WindowEvents, ThePlatformsOwnValueBoxAndANativeOne)
{
    // The editor's own box: a commit stands whatever the focus does, and a
    // left press outside the box puts it away and goes no further.
    Editor own(&SinglePressBackend);
    own.window.PromptForParameterValue(own.knob, own.plugin.ParameterAt(0));
    own.window.HandleWindowEvent(WindowEvent{.kind = Kind::BoxFocus});
    EXPECT_EQ(own.window.CurrentTextEntryState(), TextEntryState::Focused);
    own.window.HandleWindowEvent(WindowEvent{.kind = Kind::BoxType, .value = '7'});
    EXPECT_STREQ(own.window.PromptText(), "7");
    own.window.HandleWindowEvent(WindowEvent{.kind = Kind::BoxCommit});
    own.window.HandleWindowEvent(WindowEvent{.kind = Kind::BoxBlur});
    EXPECT_EQ(own.window.CurrentTextEntryState(), TextEntryState::Commit);
    own.window.HandleWindowEvent(WindowEvent{.kind = Kind::BoxCancel});
    own.Send(Kind::Press, MouseButton::Left);
    own.Send(Kind::Release, MouseButton::Left);
    EXPECT_EQ(own.window.CurrentTextEntryState(), TextEntryState::Cancel);
    EXPECT_EQ(own.knob->Kinds(), "");

    // A native box: while it has the keyboard only a right press reaches the
    // editor, and cancels; unfocused, left presses reach the controls.
    Editor native(&DoubleClickBackend);
    native.window.PromptForParameterValue(native.knob, native.plugin.ParameterAt(0));
    native.window.HandleWindowEvent(WindowEvent{.kind = Kind::BoxFocus});
    native.Send(Kind::Press, MouseButton::Left);
    EXPECT_EQ(native.knob->Kinds(), "");
    native.window.HandleWindowEvent(WindowEvent{.kind = Kind::BoxBlur});
    native.Send(Kind::Press, MouseButton::Left);
    native.Send(Kind::Release, MouseButton::Left);
    EXPECT_EQ(native.knob->Kinds(), "DU");
    native.Send(Kind::Press, MouseButton::Right);
    EXPECT_EQ(native.window.CurrentTextEntryState(), TextEntryState::Cancel);
    EXPECT_EQ(native.knob->Kinds(), "DU");
}
