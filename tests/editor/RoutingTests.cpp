// Which control a mouse or key event reaches, and the host's edit gestures
// around presses on bound controls.
#include <gtest/gtest.h>

#include "EditorTestPlugin.h"
#include "editor/IControls.h"

using namespace mg;
using mg::test::EditorTestPlugin;
using mg::test::ProbeControl;

namespace {

constexpr IMouseModifiers kLeft{.left = true};

class Routing : public ::testing::Test {
protected:
    Routing()
    {
        editor.CreateDrawSurface();
        editor.AttachControl(background);
        editor.AttachControl(lower);
        editor.AttachControl(upper);
    }

    EditorTestPlugin plugin;
    IEditorWindow editor{&plugin, 200, 200, 0};
    // Indices 0, 1, 2; `upper` overlaps `lower` on 40..60.
    ProbeControl* background = new ProbeControl(&plugin, IRectangle(0, 0, 200, 200), -1);
    ProbeControl* lower = new ProbeControl(&plugin, IRectangle(20, 20, 60, 60), 0);
    ProbeControl* upper = new ProbeControl(&plugin, IRectangle(40, 40, 100, 100), 2);
};

} // namespace

TEST_F(Routing, HitTestPrefersLaterControlsAndSkipsHiddenAndGrayed)
{
    EXPECT_EQ(editor.HitTestControl(50, 50), 2);
    EXPECT_EQ(editor.HitTestControl(30, 30), 1);
    EXPECT_EQ(editor.HitTestControl(150, 150), 0);
    EXPECT_EQ(editor.HitTestControl(250, 10), -1);

    upper->SetHidden(true);
    EXPECT_EQ(editor.HitTestControl(50, 50), 1);
    upper->SetHidden(false);
    lower->SetGrayed(true);
    EXPECT_EQ(editor.HitTestControl(30, 30), 0);
}

TEST_F(Routing, CapturedControlWinsEveryHitTest)
{
    editor.MouseDown(30, 30, kLeft);
    EXPECT_EQ(editor.CapturedControl(), 1);
    EXPECT_EQ(editor.HitTestControl(150, 150), 1);
    EXPECT_EQ(editor.HitTestControl(-5, -5), 1);
}

TEST_F(Routing, PressAndReleaseAreWrappedInAnEditGesture)
{
    editor.MouseDown(50, 50, kLeft);
    editor.MouseUp(50, 50, kLeft);
    EXPECT_EQ(upper->Kinds(), "DU");
    EXPECT_EQ(plugin.Log(), "b2 e2");
    EXPECT_EQ(editor.CapturedControl(), -1);
    EXPECT_EQ(editor.LastMouseX(), -1);

    // The background is bound to nothing: no gesture.
    editor.MouseDown(150, 150, kLeft);
    editor.MouseUp(150, 150, kLeft);
    EXPECT_EQ(background->Kinds(), "DU");
    EXPECT_EQ(plugin.Log(), "b2 e2");
}

TEST_F(Routing, ReleaseOutsideTheControlStillEndsItsGesture)
{
    editor.MouseDown(30, 30, kLeft);
    editor.MouseUp(180, 180, kLeft);
    EXPECT_EQ(lower->Kinds(), "DU");
    EXPECT_EQ(background->Kinds(), "");
    EXPECT_EQ(plugin.Log(), "b0 e0");
}

TEST_F(Routing, PressOnNothingCapturesNothingAndTheReleaseGoesWhereItIs)
{
    editor.MouseDown(300, 300, kLeft);
    EXPECT_EQ(editor.CapturedControl(), -1);
    editor.MouseDrag(310, 310, kLeft);
    editor.MouseUp(50, 50, kLeft);
    EXPECT_EQ(upper->Kinds(), "U");
    EXPECT_EQ(plugin.Log(), "e2");
}

TEST_F(Routing, DragsCarryDeltasFromThePressAndSkipRepeatedPositions)
{
    editor.MouseDrag(35, 35, kLeft); // nothing captured yet
    editor.MouseDown(30, 30, kLeft);
    editor.MouseDrag(33, 26, kLeft);
    editor.MouseDrag(33, 26, kLeft);
    editor.MouseDrag(31, 40, IMouseModifiers{.left = true, .shift = true});
    ASSERT_EQ(lower->Kinds(), "DGG");
    EXPECT_EQ(lower->calls[1].a, 3);
    EXPECT_EQ(lower->calls[1].b, -4);
    EXPECT_EQ(lower->calls[2].a, -2);
    EXPECT_EQ(lower->calls[2].b, 14);
    EXPECT_TRUE(lower->calls[2].modifiers.shift);
    EXPECT_EQ(lower->calls[2].x, 31);
}

TEST_F(Routing, DoubleClickGoesToTheControlUnlessItCountsAsAPress)
{
    EXPECT_FALSE(editor.MouseDoubleClick(30, 30, kLeft));
    EXPECT_EQ(lower->Kinds(), "2");
    EXPECT_EQ(editor.CapturedControl(), -1);

    upper->SetDoubleClickAsPress(true);
    EXPECT_TRUE(editor.MouseDoubleClick(50, 50, kLeft));
    EXPECT_EQ(upper->Kinds(), "D");
    EXPECT_EQ(editor.CapturedControl(), 2);
    EXPECT_EQ(plugin.Log(), ""); // a second press begins no new gesture
    editor.MouseUp(50, 50, kLeft);
    EXPECT_EQ(plugin.Log(), "e2");

    EXPECT_FALSE(editor.MouseDoubleClick(300, 300, kLeft));
}

TEST_F(Routing, WheelAndKeysGoToTheControlUnderThePointer)
{
    editor.MouseWheel(30, 30, IMouseModifiers{.control = true}, -2);
    editor.KeyPress(50, 50, 12);
    editor.KeyPress(300, 300, 12);
    ASSERT_EQ(lower->Kinds(), "W");
    EXPECT_EQ(lower->calls[0].a, -2);
    EXPECT_TRUE(lower->calls[0].modifiers.control);
    ASSERT_EQ(upper->Kinds(), "K");
    EXPECT_EQ(upper->calls[0].a, 12);
    EXPECT_EQ(plugin.Log(), "");
}

TEST_F(Routing, HoverIsOffUnlessTrackingIsOn)
{
    EXPECT_FALSE(editor.MouseHover(30, 30, {}));
    EXPECT_EQ(lower->Kinds(), "");

    editor.SetHoverTracking(true);
    EXPECT_TRUE(editor.MouseHover(30, 30, {}));
    EXPECT_TRUE(editor.MouseHover(50, 50, {}));
    EXPECT_EQ(lower->Kinds(), "HL");
    EXPECT_EQ(upper->Kinds(), "H");
    EXPECT_EQ(editor.HoveredControl(), 2);
    EXPECT_TRUE(editor.MouseHover(300, 300, {}));
    EXPECT_EQ(editor.HoveredControl(), 2);

    editor.MouseLeave();
    EXPECT_EQ(background->Kinds(), "L");
    EXPECT_EQ(upper->Kinds(), "HL");
    EXPECT_EQ(editor.HoveredControl(), -1);
}

TEST_F(Routing, KnobGestureAutomatesBetweenBeginAndEnd)
{
    auto* knob = new IKnobMultiControl(&plugin, 0, 100, 0, IBitmapStrip{nullptr, 65, 4225, 65});
    editor.AttachControl(knob);
    knob->SetValueFromPlugin(0.5);
    editor.MouseDown(10, 120, kLeft);
    editor.MouseDrag(10, 107, kLeft);
    editor.MouseDrag(10, 94, kLeft);
    editor.MouseUp(10, 94, kLeft);
    EXPECT_EQ(plugin.Log(), "b0 a0 c0 a0 c0 e0");
    EXPECT_NEAR(knob->Value(), 0.6, 1e-12);
    EXPECT_NEAR(plugin.ParameterAt(0)->value(), 0.6, 1e-12);
}

TEST_F(Routing, ResizeDropsControlsAndResetsMouseState)
{
    editor.SetHoverTracking(true);
    editor.MouseHover(50, 50, {});
    editor.MouseDown(50, 50, kLeft);
    editor.ResizeEditor(300, 120);
    EXPECT_EQ(editor.ControlCount(), 0);
    EXPECT_EQ(editor.CapturedControl(), -1);
    EXPECT_EQ(editor.HoveredControl(), -1);
    EXPECT_EQ(editor.LastMouseX(), -1);
    EXPECT_EQ(editor.Width(), 300);
    ASSERT_EQ(plugin.sizes.size(), 1u);
    EXPECT_EQ(plugin.sizes[0].height, 120);
    EXPECT_EQ(editor.DrawSurface()->Width(), 300);
    EXPECT_EQ(editor.PresentedSurface().Height(), 120);
    // Nothing is left to reach.
    EXPECT_TRUE(editor.MouseHover(50, 50, {}));
    EXPECT_EQ(editor.HoveredControl(), -1);
    editor.MouseUp(50, 50, kLeft);
    EXPECT_EQ(plugin.Log(), "b2");
}
