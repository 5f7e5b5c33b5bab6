// The pedal's editor as a user meets it: layout, footswitch and LED, knobs,
// the about panel, and the whole picture against a reference.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "EditorSession.h"
#include "PngFile.h"
#include "editor/IControls.h"

using mg::snapshot::EditorSession;

namespace {

constexpr int kLed = 1, kCabinetSwitch = 2, kEffectToggle = 3, kFootswitch = 4, kLevelKnob = 5, kAbout = 7;
constexpr int kFootX = 100, kFootY = 190;

class PedalEditor : public ::testing::Test {
protected:
    void Do(const std::string& line)
    {
        std::string error;
        ASSERT_TRUE(session.Run(line, error)) << error;
    }
    mg::IControl& Control(int i) { return *session.Editor().ControlAt(i); }
    int Frame(int i)
    {
        auto& c = Control(i);
        if (auto* knob = dynamic_cast<mg::IKnobMultiControl*>(&c)) return knob->CurrentFrame();
        return dynamic_cast<mg::IBitmapControl&>(c).CurrentFrame();
    }
    float Effect() { return session.Parameter(2); }

    EditorSession session;
};

} // namespace

TEST_F(PedalEditor, LayoutAsBuilt)
{
    auto& editor = session.Editor();
    EXPECT_EQ(editor.ControlCount(), 8);
    EXPECT_EQ(session.Plugin().LedControlIndex(), kLed);
    EXPECT_EQ(editor.Width(), 213);
    EXPECT_EQ(editor.Height(), 326);
    EXPECT_TRUE(Control(kEffectToggle).IsHidden());
    EXPECT_EQ(Control(kLevelKnob).DrawRect(), mg::IRectangle(18, 86, 83, 151));
    EXPECT_EQ(Control(kFootswitch).DrawRect(), mg::IRectangle(80, 172, 120, 212));
    EXPECT_EQ(Control(kAbout).DrawRect(), mg::IRectangle(5, 156, 186, 306));

    // Before the host opens the plug-in only the parameters have reached the controls.
    EXPECT_EQ(Frame(kLevelKnob), 33);
    EXPECT_EQ(Frame(kCabinetSwitch), 2);
    EXPECT_EQ(Frame(kLed), 1);
    Do("open");
    EXPECT_EQ(Frame(kLed), 2) << "the open request lights the LED";

    vst::ERect* rect = nullptr;
    ASSERT_EQ(session.Effect()->dispatcher(session.Effect(), vst::effEditGetRect, 0, 0, &rect, 0.0f), 1);
    EXPECT_EQ(rect->right, 213);
    EXPECT_EQ(rect->bottom, 326);
    EXPECT_EQ(session.Effect()->flags, 0x1019);
}

TEST_F(PedalEditor, EachFootswitchPressTogglesTheEffectOnce)
{
    Do("open");
    Do("show");
    Do("press 100 190");
    Do("tick");
    EXPECT_EQ(Effect(), 0.0f);
    EXPECT_EQ(Frame(kLed), 1);
    Do("tick 3"); // held down: no further toggles
    EXPECT_EQ(Effect(), 0.0f);
    Do("release 100 190");
    Do("tick");
    EXPECT_EQ(Effect(), 0.0f) << "letting go changes nothing";
    EXPECT_EQ(Control(kFootswitch).Value(), 0.0);

    Do("click 100 190");
    EXPECT_EQ(Effect(), 1.0f);
    EXPECT_EQ(Frame(kLed), 2);

    // Down and up between two ticks: the check only ever sees it up.
    Do("press 100 190");
    Do("release 100 190");
    Do("tick");
    EXPECT_EQ(Effect(), 1.0f);

    Do("click 100 190 right"); // no parameter to prompt for, no step
    EXPECT_EQ(Effect(), 1.0f);
}

TEST_F(PedalEditor, TheLedAndTheNextPressFollowTheHost)
{
    Do("open");
    Do("show");
    Do("param Effect 0");
    EXPECT_EQ(Frame(kLed), 1);
    EXPECT_EQ(Control(kEffectToggle).Value(), 0.0);
    Do("click 100 190");
    EXPECT_EQ(Effect(), 1.0f) << "the press toggles from the host's value";
    Do("program 3");
    EXPECT_EQ(Frame(kLed), 2);
}

TEST_F(PedalEditor, KnobsAndTheCabinetSwitch)
{
    Do("open");
    Do("show");
    Do("press 50 118");
    Do("drag 50 92"); // 26 pixels up
    Do("release 50 92");
    EXPECT_NEAR(session.Parameter(0), 0.6f, 1e-6);
    Do("wheel 150 118 -3");
    EXPECT_NEAR(session.Parameter(1), 0.47f, 1e-6);
    Do("dblclick 50 118");
    EXPECT_NEAR(session.Parameter(0), 0.5f, 1e-6) << "back to the first value the plug-in gave";

    Do("click 100 80");
    EXPECT_EQ(session.Parameter(3), 0.0f);
    EXPECT_EQ(Frame(kCabinetSwitch), 1);
}

TEST_F(PedalEditor, AboutPanelShowsFromTheBadgeAndHidesOnAClick)
{
    Do("open");
    Do("show");
    Do("click 100 100"); // not the badge: the panel stays hidden
    EXPECT_EQ(Control(kAbout).Value(), 0.0);
    Do("click 40 45");
    EXPECT_EQ(Control(kAbout).Value(), 1.0);
    Do("click 100 190"); // on the panel, over the footswitch
    EXPECT_EQ(Control(kAbout).Value(), 0.0);
    EXPECT_EQ(Effect(), 1.0f) << "the click hid the panel and did not reach the footswitch";
}

TEST_F(PedalEditor, PictureMatchesTheReference)
{
    struct Case {
        const char* reference;
        const char* script;
    };
    for (const Case& c : {Case{"editor-open.png", "open\nshow\n"},
                          Case{"editor-off-about.png", "open\nshow\nclick 100 190\nclick 40 45\n"
                                                       "param Level 0.2\nparam Cabinet 0\ntick 2\n"}}) {
        EditorSession fresh;
        std::string error;
        ASSERT_TRUE(fresh.RunScript(c.script, error)) << error;
        const mg::IBitmap& picture = fresh.Picture();
        auto reference = mg::snapshot::ReadPngFile(std::string(PEDAL_TEST_DATA) + "/" + c.reference, error);
        ASSERT_TRUE(reference) << error;
        ASSERT_EQ(picture.Width(), reference->Width());
        ASSERT_EQ(picture.Height(), reference->Height());
        int differing = 0;
        for (int y = 0; y < picture.Height(); ++y)
            for (int x = 0; x < picture.Width(); ++x) {
                const std::uint32_t a = picture.Pixels()[y * picture.RowSpan() + x] & 0xFFFFFF;
                const std::uint32_t b = reference->Pixels()[y * reference->RowSpan() + x] & 0xFFFFFF;
                differing += a != b;
            }
        EXPECT_EQ(differing, 0) << c.reference;
    }
}
