// The redraw cycle: which controls count as dirty, which are drawn, what
// reaches the draw surface and the presented surface.
#include <gtest/gtest.h>

#include <cstdint>

#include "EditorTestPlugin.h"
#include "editor/IControls.h"

using namespace mg;
using mg::test::EditorTestPlugin;
using mg::test::PixelAt;
using mg::test::ProbeControl;
using mg::test::SolidStrip;

namespace {

constexpr std::uint32_t kGrey = 0xFF808080u;
constexpr std::uint32_t kRed = 0xFFFF0000u;
constexpr std::uint32_t kGreen = 0xFF00FF00u;
constexpr std::uint32_t kBlue = 0xFF0000FFu;

class Redraw : public ::testing::Test {
protected:
    Redraw() { editor.CreateDrawSurface(); }

    // Settles the start-up dirt so each test sees only its own changes.
    void Settle()
    {
        editor.RedrawTick();
        editor.RedrawTick();
    }

    EditorTestPlugin plugin;
    IEditorWindow editor{&plugin, 100, 60, 0};
};

} // namespace

TEST_F(Redraw, DirtyAreaUnitesTheDirtyControlsOnly)
{
    auto* a = new ProbeControl(&plugin, IRectangle(10, 10, 20, 20));
    auto* b = new ProbeControl(&plugin, IRectangle(50, 30, 60, 50));
    auto* c = new ProbeControl(&plugin, IRectangle(70, 0, 90, 5));
    editor.AttachControl(a);
    editor.AttachControl(b);
    editor.AttachControl(c);
    Settle();

    IRectangle area;
    EXPECT_FALSE(editor.CollectDirtyArea(area));
    EXPECT_TRUE(area.Empty());

    a->MarkDirty(false);
    b->MarkDirty(false);
    EXPECT_TRUE(editor.CollectDirtyArea(area));
    EXPECT_EQ(area, IRectangle(10, 10, 60, 50));
}

TEST_F(Redraw, OnlyControlsMeetingTheAreaAreDrawnButAllAreSettled)
{
    auto* inside = new ProbeControl(&plugin, IRectangle(10, 10, 20, 20));
    auto* outside = new ProbeControl(&plugin, IRectangle(60, 10, 70, 20));
    auto* hidden = new ProbeControl(&plugin, IRectangle(10, 10, 20, 20));
    editor.AttachControl(inside);
    editor.AttachControl(outside);
    editor.AttachControl(hidden);
    hidden->SetHidden(true);
    outside->SetValueFromPlugin(0.5); // pending a second redraw

    EXPECT_TRUE(editor.DrawDirtyArea(IRectangle(0, 0, 30, 30)));
    EXPECT_EQ(inside->draws, 1);
    EXPECT_EQ(outside->draws, 0);
    EXPECT_EQ(hidden->draws, 0);
    EXPECT_FALSE(inside->IsDirty());
    EXPECT_TRUE(outside->IsDirty()); // its pending redraw moved into dirty
    EXPECT_FALSE(outside->RedrawPending());
    EXPECT_EQ(editor.LastPresentedArea(), IRectangle(0, 0, 30, 30));
}

TEST_F(Redraw, ControlAtTheAreasRightEdgeIsAskedToDrawAndCopiesNothing)
{
    const IBitmapStrip red = SolidStrip(editor, 10, 10, {kRed});
    const IBitmapStrip green = SolidStrip(editor, 10, 10, {kGreen});
    auto* left = new ProbeControl(&plugin, IRectangle(0, 0, 10, 10), -1, red);
    auto* edge = new ProbeControl(&plugin, IRectangle(10, 0, 20, 10), -1, green);
    editor.AttachControl(left);
    editor.AttachControl(edge);

    const std::uint32_t before = PixelAt(*editor.DrawSurface(), 10, 5);
    editor.DrawDirtyArea(IRectangle(0, 0, 10, 10));
    EXPECT_EQ(edge->draws, 1);
    // Blending leaves the surface's alpha alone: compare colours.
    EXPECT_EQ(PixelAt(*editor.DrawSurface(), 9, 5) & 0xFFFFFFu, kRed & 0xFFFFFFu);
    EXPECT_EQ(PixelAt(*editor.DrawSurface(), 10, 5), before);
}

TEST_F(Redraw, PluginChangesDrawOnTwoTicksUserChangesOnOne)
{
    auto* fromPlugin = new ProbeControl(&plugin, IRectangle(0, 0, 10, 10), 0);
    auto* fromUser = new ProbeControl(&plugin, IRectangle(50, 0, 60, 10), 0);
    editor.AttachControl(fromPlugin);
    editor.AttachControl(fromUser);
    Settle();
    fromPlugin->draws = fromUser->draws = 0;

    editor.SetControlValueFromPlugin(0, 0.7);
    editor.SetControlValueFromPlugin(5, 0.7); // no such control: ignored
    fromUser->SetValue(0.3); // as a drag does
    fromUser->MarkDirty(true);
    for (int i = 0; i < 4; ++i) editor.RedrawTick();
    EXPECT_EQ(fromPlugin->draws, 2);
    EXPECT_EQ(fromUser->draws, 1);
    EXPECT_EQ(editor.PresentCount(), 3); // 1 to settle, 2 more
}

TEST_F(Redraw, ParameterValuesReachEveryBoundControlConverted)
{
    auto* first = new ProbeControl(&plugin, IRectangle(0, 0, 10, 10), 2);
    auto* other = new ProbeControl(&plugin, IRectangle(0, 0, 10, 10), 0);
    auto* second = new ProbeControl(&plugin, IRectangle(0, 0, 10, 10), 2);
    editor.AttachControl(first);
    editor.AttachControl(other);
    editor.AttachControl(second);

    editor.SetControlsFromParameter(2, 2.5, false); // plain value of a 0..10 parameter
    EXPECT_DOUBLE_EQ(first->Value(), 0.25);
    EXPECT_DOUBLE_EQ(second->Value(), 0.25);
    EXPECT_EQ(other->Value(), 0.0);
    editor.SetControlsFromParameter(2, 0.75, true);
    EXPECT_DOUBLE_EQ(second->Value(), 0.75);
    editor.SetControlsFromParameter(9, 5.0, false); // no such parameter
    EXPECT_TRUE(plugin.events.empty());

    editor.HideControlsOfParameter(2, true);
    EXPECT_TRUE(first->IsHidden());
    EXPECT_TRUE(second->IsHidden());
    EXPECT_FALSE(other->IsHidden());
}

TEST_F(Redraw, FramesOfAStripLandOnThePresentedSurface)
{
    const IBitmapStrip strip = SolidStrip(editor, 8, 4, {kRed, kGreen, kBlue});
    editor.AttachControl(new IBitmapControl(&plugin, 0, 0, -1, SolidStrip(editor, 100, 60, {kGrey}),
                                            IBlendSpec::kOverwrite));
    auto* knob = new IKnobMultiControl(&plugin, 20, 10, 0, strip);
    editor.AttachControl(knob);
    EXPECT_EQ(knob->DrawRect(), IRectangle(20, 10, 28, 14));

    editor.RedrawTick();
    const IBitmap& shown = editor.PresentedSurface();
    EXPECT_EQ(PixelAt(shown, 20, 10), kRed);
    EXPECT_EQ(PixelAt(shown, 27, 13), kRed);
    EXPECT_EQ(PixelAt(shown, 28, 13), kGrey);
    EXPECT_EQ(PixelAt(shown, 99, 59), kGrey);

    knob->SetValueFromPlugin(1.0);
    editor.RedrawTick();
    EXPECT_EQ(PixelAt(shown, 20, 10), kBlue);
    EXPECT_EQ(editor.LastPresentedArea(), knob->DrawRect());

    // Frame numbers of 1 or less draw the top frame.
    for (int frame : {-4, 0, 1}) {
        editor.DrawDirtyArea(knob->DrawRect());
        editor.DrawBitmapFrame(strip, knob->DrawRect(), frame, nullptr);
        EXPECT_EQ(PixelAt(*editor.DrawSurface(), 21, 11), kRed) << frame;
    }
    editor.DrawBitmapFrame(strip, knob->DrawRect(), 2, nullptr);
    EXPECT_EQ(PixelAt(*editor.DrawSurface(), 21, 11), kGreen);
}

TEST_F(Redraw, BlitsAreClippedToTheAreaBeingDrawn)
{
    const IBitmapStrip red = SolidStrip(editor, 30, 30, {kRed});
    editor.AttachControl(new IBitmapControl(&plugin, 0, 0, -1, SolidStrip(editor, 100, 60, {kGrey}),
                                            IBlendSpec::kOverwrite));
    editor.RedrawTick();
    editor.DrawDirtyArea(IRectangle(10, 10, 20, 20)); // sets the clip
    editor.BlitBitmap(red, IRectangle(0, 0, 30, 30), 0, 0, nullptr);
    const IBitmap& surface = *editor.DrawSurface();
    EXPECT_EQ(PixelAt(surface, 10, 10), kRed);
    EXPECT_EQ(PixelAt(surface, 19, 19), kRed);
    EXPECT_EQ(PixelAt(surface, 9, 10), kGrey);
    EXPECT_EQ(PixelAt(surface, 20, 19), kGrey);
}

TEST_F(Redraw, GrayedControlIsDrawnFaintlyAndHiddenNotAtAll)
{
    editor.AttachControl(new IBitmapControl(&plugin, 0, 0, -1, SolidStrip(editor, 100, 60, {0xFF000000u}),
                                            IBlendSpec::kOverwrite));
    auto* led = new IBitmapControl(&plugin, 10, 10, -1, SolidStrip(editor, 4, 4, {0xFFFFFFFFu}));
    editor.AttachControl(led);
    led->SetGrayed(true);
    editor.RedrawTick();
    const std::uint32_t faint = PixelAt(editor.PresentedSurface(), 11, 11) & 0x00FFFFFFu;
    EXPECT_GT(faint, 0u);
    EXPECT_LT(faint, 0x00808080u);

    led->SetGrayed(false);
    led->SetHidden(true);
    editor.RedrawTick();
    EXPECT_EQ(PixelAt(editor.PresentedSurface(), 11, 11), 0xFF000000u);
}

