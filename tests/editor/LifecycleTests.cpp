// The editor as the plug-in holds it: seeding from parameters, the headless
// window part, a footswitch driving a parameter through an observer, and the
// host writing values while the editor's timer draws.
#include <gtest/gtest.h>

#include <atomic>
#include <cstring>
#include <string>
#include <thread>

#include "EditorTestPlugin.h"
#include "editor/IControls.h"

using namespace mg;
using mg::test::EditorTestPlugin;
using mg::test::SolidStrip;

namespace {

constexpr IMouseModifiers kLeft{.left = true};

} // namespace

TEST(Lifecycle, AttachingSeedsControlsAndTheirDefaults)
{
    EditorTestPlugin plugin;
    auto* editor = new IEditorWindow(&plugin, 100, 100, 0);
    auto* knob = new IKnobMultiControl(&plugin, 0, 0, 2, IBitmapStrip{nullptr, 10, 100, 10});
    editor->AttachControl(knob);
    plugin.AttachEditorGraphics(editor);
    ASSERT_NE(editor->DrawSurface(), nullptr);
    EXPECT_EQ(editor->DrawSurface()->Width(), 100);
    EXPECT_DOUBLE_EQ(knob->Value(), 0.5);
    EXPECT_DOUBLE_EQ(knob->DefaultValue(), 0.5);

    editor->MouseDown(5, 5, kLeft);
    editor->MouseDrag(5, 0, kLeft);
    editor->MouseUp(5, 0, kLeft);
    EXPECT_GT(knob->Value(), 0.5);
    editor->MouseDoubleClick(5, 5, kLeft);
    EXPECT_DOUBLE_EQ(knob->Value(), 0.5);
    EXPECT_DOUBLE_EQ(plugin.ParameterAt(2)->value(), 5.0);

    // A preset load pushes plain values.
    plugin.ParameterAt(2)->set_value(2.0);
    plugin.PushValuesToEditor();
    EXPECT_DOUBLE_EQ(knob->Value(), 0.2);
}

TEST(Lifecycle, HeadlessEditorHasNoWindowToOpen)
{
    // A null window makes the host's open request answer 0.
    IEditorWindow editor(nullptr, 10, 10, 30);
    int parent = 0;
    EXPECT_EQ(editor.OpenEditorWindow(&parent), nullptr);
    EXPECT_FALSE(editor.IsWindowOpen());
    EXPECT_EQ(editor.FrameRate(), 30);
}

TEST(Lifecycle, ModulePathsAreFoldersOfThisProcess)
{
    IEditorWindow editor(nullptr, 10, 10, 0);
    char host[4096] = "stale";
    editor.HostExecutablePath(host, sizeof host);
    ASSERT_GT(std::strlen(host), 1u);
    EXPECT_EQ(host[std::strlen(host) - 1], '/');
    // The tests and this code share one executable.
    char plugin[4096] = "stale";
    editor.PluginFilePath(plugin, sizeof plugin);
    EXPECT_STREQ(plugin, host);

    char tiny[4] = "xyz";
    editor.HostExecutablePath(tiny, sizeof tiny); // does not fit: empty, not cut
    EXPECT_STREQ(tiny, "");
}

namespace {

// Turns each press of a contact into one toggle of a hidden control, the
// way the pedal's footswitch drives its Effect parameter.
class Stomp : public IObserverInterface {
public:
    Stomp(IContactControl* contact, IControl* toggle) : contact_(contact), toggle_(toggle)
    {
        contact_->AddObserver(this);
    }
    void Update() override
    {
        const double x = contact_->Value();
        if (x == 1.0 && previous_ == 0.0) toggle_->SetValueAndPush(1.0 - toggle_->Value());
        previous_ = x;
    }

private:
    IContactControl* contact_;
    IControl* toggle_;
    double previous_ = 0.0;
};

} // namespace

TEST(Lifecycle, FootswitchTogglesOncePerPressSeenByATick)
{
    EditorTestPlugin plugin;
    auto* editor = new IEditorWindow(&plugin, 213, 326, 0);
    auto* toggle = new IHiddenToggleControl(&plugin, IRectangle(80, 172, 110, 202), 1);
    editor->AttachControl(toggle);
    editor->HideControlsOfParameter(1, true);
    auto* footswitch = new IContactControlNoDblClick(&plugin, 80, 172, -1, IBitmapStrip{nullptr, 40, 80, 2});
    editor->AttachControl(footswitch);
    Stomp stomp(footswitch, toggle);
    plugin.AttachEditorGraphics(editor);
    editor->RedrawTick();

    editor->MouseDown(90, 180, kLeft); // the toggle underneath is hidden
    editor->RedrawTick();
    editor->RedrawTick(); // held: no second toggle
    editor->MouseUp(90, 180, kLeft);
    editor->RedrawTick();
    EXPECT_EQ(plugin.ParameterAt(1)->value(), 1.0);

    // Double click counts as a second press.
    editor->MouseDown(90, 180, kLeft);
    editor->RedrawTick();
    editor->MouseUp(90, 180, kLeft);
    editor->RedrawTick();
    EXPECT_TRUE(editor->MouseDoubleClick(90, 180, kLeft));
    editor->RedrawTick();
    editor->MouseUp(90, 180, kLeft);
    editor->RedrawTick();
    EXPECT_EQ(plugin.ParameterAt(1)->value(), 1.0);
    EXPECT_EQ(plugin.Automated(1), (std::vector<double>{1.0, 0.0, 1.0}));

    // Press and release between two ticks: nothing.
    editor->MouseDown(90, 180, kLeft);
    editor->MouseUp(90, 180, kLeft);
    editor->RedrawTick();
    EXPECT_EQ(plugin.Automated(1).size(), 3u);

    // The host moves the parameter; the next press toggles from there.
    editor->SetControlsFromParameter(1, 0.0, true);
    editor->MouseDown(90, 180, kLeft);
    editor->RedrawTick();
    EXPECT_EQ(plugin.Automated(1).back(), 1.0);
    EXPECT_EQ(plugin.Log().find('b'), std::string::npos); // unbound contact: no gestures
}

TEST(Lifecycle, HostWritesValuesWhileTheEditorDraws)
{
    EditorTestPlugin plugin;
    auto* editor = new IEditorWindow(&plugin, 64, 64, 0);
    const IBitmapStrip strip = SolidStrip(*editor, 16, 16, {0xFF000000u, 0xFF404040u, 0xFF808080u, 0xFFFFFFFFu});
    auto* knob = new IKnobMultiControl(&plugin, 8, 8, 0, strip);
    auto* led = new IBitmapControl(&plugin, 40, 8, -1, strip);
    editor->AttachControl(knob);
    const int ledIndex = editor->AttachControl(led);
    plugin.AttachEditorGraphics(editor);

    std::atomic<bool> done{false};
    std::thread host([&] {
        for (int i = 0; i < 3000; ++i) {
            LockGuard guard(plugin.Lock());
            editor->SetControlsFromParameter(0, (i % 4) / 3.0, true);
            editor->SetControlValueFromPlugin(ledIndex, (i % 2) ? 1.0 : 0.0);
        }
        done = true;
    });
    int ticks = 0;
    while (!done || ticks < 10) {
        editor->MouseWheel(10, 10, {}, (ticks % 2) ? 1 : -1);
        editor->RedrawTick();
        ++ticks;
    }
    host.join();

    // Settled: what is shown is the last value's frame.
    editor->RedrawTick();
    editor->RedrawTick();
    // Blending leaves the surface's alpha alone: compare colours.
    const std::uint32_t shown = mg::test::PixelAt(editor->PresentedSurface(), 10, 10) & 0xFFFFFFu;
    EXPECT_EQ(shown, mg::test::PixelAt(*strip.bitmap, 0, strip.FrameTop(knob->CurrentFrame())) & 0xFFFFFFu);
}
