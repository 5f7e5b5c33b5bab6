// The value box: where it opens, what a typed text commits, and how the
// timer ticks treat it while it is open.
#include <gtest/gtest.h>

#include <cstring>

#include "EditorTestPlugin.h"
#include "editor/IControls.h"

using namespace mg;
using mg::test::EditorTestPlugin;
using mg::test::ProbeControl;

namespace {

constexpr IMouseModifiers kRight{.right = true};

class TextEntry : public ::testing::Test {
protected:
    TextEntry()
    {
        editor.CreateDrawSurface();
        level = new ProbeControl(&plugin, IRectangle(18, 86, 83, 151), 0);
        choice = new ISwitchControl(&plugin, 80, 61, 1, IBitmapStrip{nullptr, 40, 80, 2});
        range = new ProbeControl(&plugin, IRectangle(0, 0, 20, 10), 2);
        editor.AttachControl(level);
        editor.AttachControl(choice);
        editor.AttachControl(range);
    }

    EditorTestPlugin plugin;
    IEditorWindow editor{&plugin, 213, 326, 0};
    ProbeControl* level;
    ISwitchControl* choice;
    ProbeControl* range;
};

} // namespace

TEST_F(TextEntry, ChoiceParameterOpensAListUnderTheControlsCentre)
{
    choice->MouseDown(90, 70, kRight);
    const TextEntryPlan* plan = editor.Prompt();
    ASSERT_NE(plan, nullptr);
    EXPECT_TRUE(plan->choiceList);
    EXPECT_EQ(plan->width, 48); // "Off": 8 * 3 + 24
    EXPECT_EQ(plan->height, 36 * 2 + 36);
    EXPECT_EQ(plan->x, 100 - 24);
    EXPECT_EQ(plan->y, 81);
    EXPECT_EQ(plan->selection, 0);
    EXPECT_STREQ(plan->text, "Off");

    // A second prompt while one is open is refused.
    editor.PromptForParameterValue(level, plugin.ParameterAt(0));
    EXPECT_EQ(editor.TextEntryControl(), choice);
}

TEST_F(TextEntry, ContinuousParameterOpensAnEditBoxCentredOnTheControl)
{
    level->PromptForValue();
    const TextEntryPlan* plan = editor.Prompt();
    ASSERT_NE(plan, nullptr);
    EXPECT_FALSE(plan->choiceList);
    EXPECT_EQ(plan->width, 65);
    EXPECT_EQ(plan->height, 65);
    EXPECT_EQ(plan->x, 50 - 32);
    EXPECT_EQ(plan->y, 118 - 32);
    EXPECT_STREQ(plan->text, "0.500");
    EXPECT_STREQ(editor.PromptText(), "0.500");
    EXPECT_TRUE(level->RedrawPending());
    editor.CancelPrompt();
    editor.RedrawTick();

    range->PromptForValue(); // small control: the box keeps its minimum size
    ASSERT_NE(editor.Prompt(), nullptr);
    EXPECT_EQ(editor.Prompt()->width, 36);
    EXPECT_EQ(editor.Prompt()->height, 16);
    EXPECT_EQ(editor.Prompt()->x, 10 - 18);
}

TEST_F(TextEntry, ValueTextsMatchExactlyAndOtherTextIsZero)
{
    const IParameter& choiceParameter = *plugin.ParameterAt(1);
    EXPECT_EQ(CommittedValue(choiceParameter, "On"), 1.0);
    EXPECT_EQ(CommittedValue(choiceParameter, "on"), 0.0);
    EXPECT_EQ(CommittedValue(choiceParameter, "Off"), 0.0);

    const IParameter& rangeParameter = *plugin.ParameterAt(2); // 0..10
    EXPECT_DOUBLE_EQ(CommittedValue(rangeParameter, "2.5"), 0.25);
    EXPECT_DOUBLE_EQ(CommittedValue(rangeParameter, " +7.5 dB"), 0.75);
    EXPECT_EQ(CommittedValue(rangeParameter, "loud"), 0.0);
    EXPECT_EQ(CommittedValue(rangeParameter, "1e400"), 0.0);
    EXPECT_EQ(CommittedValue(rangeParameter, "nan"), 0.0);
    EXPECT_EQ(CommittedValue(rangeParameter, "99"), 1.0);
    EXPECT_EQ(CommittedValue(rangeParameter, ""), 0.0);
}

TEST_F(TextEntry, CommitPushesTheTypedValueOnTheNextTick)
{
    choice->MouseDown(90, 70, kRight);
    plugin.events.clear();
    editor.TypeInPrompt("On");
    editor.CommitPrompt();
    editor.RedrawTick();
    EXPECT_EQ(editor.Prompt(), nullptr);
    EXPECT_EQ(choice->Value(), 1.0);
    EXPECT_EQ(plugin.Automated(1), (std::vector<double>{1.0}));
    EXPECT_EQ(plugin.ParameterAt(1)->value(), 1.0);
}

TEST_F(TextEntry, FocusedBoxHoldsRedrawsAndCancelDropsIt)
{
    level->PromptForValue();
    editor.RedrawTick(); // the start-up redraw
    const int presents = editor.PresentCount();

    editor.FocusPrompt(true);
    level->SetValueFromPlugin(0.9);
    editor.RedrawTick();
    editor.RedrawTick();
    EXPECT_EQ(editor.PresentCount(), presents);
    EXPECT_TRUE(level->IsDirty());

    editor.FocusPrompt(false);
    editor.RedrawTick(); // draws, then asks the box to follow the value
    EXPECT_EQ(editor.PresentCount(), presents + 1);
    EXPECT_EQ(editor.CurrentTextEntryState(), TextEntryState::Refresh);
    editor.RedrawTick();
    EXPECT_STREQ(editor.PromptText(), "0.500"); // the parameter itself did not move
    EXPECT_EQ(editor.CurrentTextEntryState(), TextEntryState::None);

    editor.TypeInPrompt("0.1");
    editor.CancelPrompt();
    editor.RedrawTick();
    EXPECT_EQ(editor.Prompt(), nullptr);
    EXPECT_TRUE(plugin.events.empty());
}

TEST_F(TextEntry, ResizingClosesTheBoxWithItsControl)
{
    level->PromptForValue();
    editor.ResizeEditor(100, 100);
    EXPECT_EQ(editor.Prompt(), nullptr);
    EXPECT_FALSE(editor.TextEntryOpen());
    editor.RedrawTick();
}
