// What each control class does with its value: plug-in values and the
// default they leave, clamping, pushing, and the mouse rules of each class.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <vector>

#include "EditorTestPlugin.h"
#include "editor/IControls.h"

using namespace mg;
using mg::test::EditorTestPlugin;
using mg::test::ProbeControl;

namespace {

constexpr IMouseModifiers kLeft{.left = true};
constexpr IMouseModifiers kRight{.right = true};

// A knob that draws nothing, for the drag rule alone.
class Slider : public IKnobControl {
public:
    using IKnobControl::IKnobControl;
    bool Draw(IGraphics&) override { return true; }
};

class Controls : public ::testing::Test {
protected:
    Controls() { editor.CreateDrawSurface(); }

    // A strip that is only geometry: nothing here draws pixels.
    static IBitmapStrip Strip(int width, int height, int frames) { return IBitmapStrip{nullptr, width, height, frames}; }

    EditorTestPlugin plugin;
    IEditorWindow editor{&plugin, 213, 326, 0};
};

} // namespace

TEST_F(Controls, FirstPluginValueBecomesTheDefaultAndIsDrawnTwice)
{
    ProbeControl control(&plugin, IRectangle(0, 0, 10, 10), 0);
    control.ClearDirty();
    ASSERT_FALSE(control.IsDirty());

    control.SetValueFromPlugin(0.0); // equal to the start value, taken all the same
    EXPECT_EQ(control.DefaultValue(), 0.0);
    EXPECT_TRUE(control.IsDirty());
    EXPECT_TRUE(control.RedrawPending());
    control.ClearDirty();
    EXPECT_TRUE(control.IsDirty()); // the second of two ticks
    control.ClearDirty();
    EXPECT_FALSE(control.IsDirty());

    control.SetValueFromPlugin(0.0); // known default, same value: nothing
    EXPECT_FALSE(control.IsDirty());
    control.SetValueFromPlugin(0.25);
    EXPECT_EQ(control.Value(), 0.25);
    EXPECT_EQ(control.DefaultValue(), 0.0);
    EXPECT_TRUE(plugin.events.empty()); // never echoed to the plug-in
}

TEST_F(Controls, MarkDirtyClampsAndPushesOnlyBoundControlsWithAnOwner)
{
    ProbeControl bound(&plugin, IRectangle(0, 0, 10, 10), 0);
    bound.SetValue(1.7);
    bound.MarkDirty(true);
    EXPECT_EQ(bound.Value(), 1.0);
    bound.SetValue(-0.2);
    bound.MarkDirty(false);
    EXPECT_EQ(bound.Value(), 0.0);
    bound.SetValue(std::numeric_limits<double>::quiet_NaN());
    bound.MarkDirty(true);
    EXPECT_EQ(bound.Value(), 0.0);
    EXPECT_EQ(plugin.Automated(0), (std::vector<double>{1.0, 0.0}));

    ProbeControl unbound(&plugin, IRectangle(0, 0, 10, 10), -1);
    ProbeControl ownerless(nullptr, IRectangle(0, 0, 10, 10), 0);
    unbound.SetValue(0.3);
    unbound.MarkDirty(true);
    ownerless.SetValue(0.3);
    ownerless.MarkDirty(true);
    EXPECT_EQ(plugin.events.size(), 4u); // two automations, two parameter changes
    EXPECT_EQ(plugin.ParameterAt(0)->value(), 0.0);
}

TEST_F(Controls, SetValueAndPushSendsOnlyAChange)
{
    ProbeControl control(&plugin, IRectangle(0, 0, 10, 10), 0);
    control.SetValueAndPush(0.0);
    EXPECT_TRUE(plugin.events.empty());
    control.ClearDirty();
    control.SetValueAndPush(0.75);
    EXPECT_EQ(plugin.Automated(0), (std::vector<double>{0.75}));
    EXPECT_TRUE(control.RedrawPending());
}

TEST_F(Controls, KnobDragFollowsGearingAndModifiers)
{
    // 65 pixels high, gearing 4: 260 pixels span the range, 26 with a modifier.
    IKnobMultiControl knob(&plugin, 18, 86, 0, Strip(65, 4225, 65));
    EXPECT_EQ(knob.DrawRect(), IRectangle(18, 86, 83, 151));
    knob.SetValue(0.5);
    knob.MouseDrag(0, 0, 0, -26, kLeft);
    EXPECT_NEAR(knob.Value(), 0.6, 1e-12);
    knob.MouseDrag(0, 0, 0, 26, kLeft);
    EXPECT_NEAR(knob.Value(), 0.5, 1e-12);
    knob.MouseDrag(0, 0, 500, 0, kLeft); // sideways does nothing to a vertical knob
    EXPECT_NEAR(knob.Value(), 0.5, 1e-12);

    knob.MouseDrag(0, 0, 0, -26, IMouseModifiers{.left = true, .shift = true});
    EXPECT_EQ(knob.Value(), 1.0);
    knob.MouseDrag(0, 0, 0, 13, IMouseModifiers{.left = true, .control = true});
    EXPECT_NEAR(knob.Value(), 0.5, 1e-12);

    Slider slider(&plugin, IRectangle(0, 0, 100, 10), 0, IKnobControl::kHorizontal, 1.0);
    slider.MouseDrag(0, 0, 25, -40, kLeft);
    EXPECT_NEAR(slider.Value(), 0.25, 1e-12);

    Slider flat(&plugin, IRectangle(5, 5, 5, 5), 0); // no height to measure against
    flat.SetValue(0.4);
    flat.MouseDrag(0, 0, 0, -10, kLeft);
    EXPECT_EQ(flat.Value(), 0.4);
}

TEST_F(Controls, WheelStepsAndDoubleClickRestoresTheFirstPluginValue)
{
    IKnobMultiControl knob(&plugin, 0, 0, 0, Strip(65, 4225, 65));
    knob.MouseDoubleClick(0, 0, kLeft); // no plug-in value yet: nothing
    EXPECT_EQ(knob.Value(), 0.0);
    EXPECT_TRUE(plugin.events.empty());

    knob.SetValueFromPlugin(0.5);
    knob.MouseWheel(0, 0, {}, 1);
    EXPECT_NEAR(knob.Value(), 0.51, 1e-12);
    knob.MouseWheel(0, 0, IMouseModifiers{.control = true}, 1);
    EXPECT_NEAR(knob.Value(), 0.511, 1e-12);
    knob.MouseWheel(0, 0, IMouseModifiers{.shift = true}, -3);
    EXPECT_NEAR(knob.Value(), 0.508, 1e-12);
    knob.MouseWheel(0, 0, {}, 100);
    EXPECT_EQ(knob.Value(), 1.0);

    knob.MouseDoubleClick(0, 0, kLeft);
    EXPECT_EQ(knob.Value(), 0.5);
    EXPECT_EQ(plugin.Automated(0).back(), 0.5);
}

TEST_F(Controls, SwitchStepsThroughItsFramesAndWraps)
{
    ISwitchControl two(&plugin, 80, 61, 1, Strip(40, 80, 2));
    EXPECT_EQ(two.DrawRect(), IRectangle(80, 61, 120, 101));
    two.MouseDown(90, 70, kLeft);
    two.MouseDown(90, 70, kLeft);
    EXPECT_EQ(two.Value(), 0.0);
    EXPECT_EQ(plugin.Automated(1), (std::vector<double>{1.0, 0.0}));

    ISwitchControl three(&plugin, 0, 0, -1, Strip(10, 30, 3));
    std::vector<double> seen;
    for (int i = 0; i < 4; ++i) {
        three.MouseDown(0, 0, kLeft);
        seen.push_back(three.Value());
    }
    EXPECT_EQ(seen, (std::vector<double>{0.5, 1.0, 0.0, 0.5}));

    // Seven frames: six steps of 1/6 add up to a hair under or over 1,
    // which must still land on the last frame, not wrap early.
    ISwitchControl seven(&plugin, 0, 0, -1, Strip(10, 70, 7));
    for (int i = 0; i < 6; ++i) seven.MouseDown(0, 0, kLeft);
    EXPECT_EQ(seven.CurrentFrame(), 7);
    seven.MouseDown(0, 0, kLeft);
    EXPECT_EQ(seven.Value(), 0.0);

    ISwitchControl one(&plugin, 0, 0, -1, Strip(10, 10, 1));
    one.MouseDown(0, 0, kLeft);
    EXPECT_EQ(one.Value(), 1.0);
    one.MouseDown(0, 0, kLeft);
    EXPECT_EQ(one.Value(), 0.0);
}

TEST_F(Controls, RightPressOnABoundSwitchPromptsAndPushesTheSameValue)
{
    auto* sw = new ISwitchControl(&plugin, 80, 61, 1, Strip(40, 80, 2));
    editor.AttachControl(sw);
    sw->SetValueFromPlugin(1.0);
    sw->MouseDown(90, 70, kRight);
    EXPECT_EQ(sw->Value(), 1.0);
    EXPECT_EQ(plugin.Automated(1), (std::vector<double>{1.0}));
    ASSERT_NE(editor.Prompt(), nullptr);
    EXPECT_TRUE(editor.Prompt()->choiceList);
    EXPECT_EQ(editor.TextEntryControl(), sw);

    // An unbound control has nothing to prompt for.
    editor.CancelPrompt();
    editor.RedrawTick();
    auto* unbound = new ISwitchControl(&plugin, 0, 0, -1, Strip(40, 80, 2));
    editor.AttachControl(unbound);
    unbound->MouseDown(0, 0, kRight);
    EXPECT_EQ(editor.Prompt(), nullptr);
    EXPECT_FALSE(unbound->RedrawPending());
}

TEST_F(Controls, ContactIsOnOnlyWhileHeld)
{
    IContactControl contact(&plugin, 0, 0, 0, Strip(40, 80, 2));
    contact.MouseDown(0, 0, kLeft);
    EXPECT_EQ(contact.Value(), 1.0);
    contact.MouseUp(0, 0, kLeft);
    EXPECT_EQ(contact.Value(), 0.0);
    EXPECT_EQ(plugin.Automated(0), (std::vector<double>{1.0, 0.0}));
    EXPECT_FALSE(contact.DoubleClickAsPress());

    IContactControlNoDblClick footswitch(&plugin, 80, 172, -1, Strip(40, 80, 2));
    EXPECT_TRUE(footswitch.DoubleClickAsPress());
    EXPECT_EQ(footswitch.DrawRect(), IRectangle(80, 172, 120, 212));
    EXPECT_EQ(footswitch.Blend().method, IBlendSpec::kBlend);
}

TEST_F(Controls, HiddenToggleFlipsOnAnyButtonAndNeverPrompts)
{
    auto* toggle = new IHiddenToggleControl(&plugin, IRectangle(80, 172, 110, 202), 1);
    editor.AttachControl(toggle);
    EXPECT_TRUE(toggle->PromptDisabled());
    EXPECT_EQ(toggle->Blend().method, IBlendSpec::kOverwrite);
    toggle->SetValue(0.4);
    toggle->MouseDown(0, 0, kRight);
    EXPECT_EQ(toggle->Value(), 1.0);
    toggle->MouseDown(0, 0, kLeft);
    EXPECT_EQ(toggle->Value(), 0.0);
    EXPECT_EQ(plugin.Automated(1), (std::vector<double>{1.0, 0.0}));
    toggle->PromptForValue();
    EXPECT_EQ(editor.Prompt(), nullptr);
    EXPECT_TRUE(toggle->Draw(editor));
}

TEST_F(Controls, OverlayAnswersItsHotspotWhileHiddenAndItsImageWhileShown)
{
    IBitmapOverlayControl about(&plugin, 5, 156, -1, Strip(181, 150, 1), IRectangle(10, 35, 80, 55));
    EXPECT_EQ(about.DrawRect(), IRectangle(5, 156, 186, 306));
    EXPECT_TRUE(about.HitTest(100, 200)); // before its first draw: the whole image

    about.Draw(editor);
    EXPECT_FALSE(about.HitTest(100, 200));
    EXPECT_TRUE(about.HitTest(20, 40));

    about.MouseDown(20, 40, kLeft);
    EXPECT_EQ(about.Value(), 1.0);
    about.Draw(editor);
    EXPECT_TRUE(about.HitTest(100, 200));
    EXPECT_FALSE(about.HitTest(20, 40));

    about.MouseDown(100, 200, kLeft);
    EXPECT_EQ(about.Value(), 0.0);
    about.Draw(editor);
    EXPECT_EQ(about.TargetRect(), IRectangle(10, 35, 80, 55));
}

