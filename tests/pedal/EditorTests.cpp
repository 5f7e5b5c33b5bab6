// The pedal's editor as a user meets it: layout, footswitch and LED, knobs,
// the about panel, and the whole picture against a reference.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <filesystem>
#include <string>
#include <vector>

#include "EditorSession.h"
#include "PngFile.h"
#include "PluginModule.h"
#include "editor/DisplayScale.h"
#include "editor/IControls.h"
#include "editor/ScaleChoice.h"
#include "editor/ScaleMenuControl.h"
#include "raster/DecodeImage.h"

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
    EXPECT_EQ(editor.ControlCount(), 9); // the size menu, hidden, on top
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

// Every set of the art has each image at the logical size times its scale,
// frame by frame; 200 % is drawn, not blown up from 100 %.
TEST_F(PedalEditor, ImageSetsAtEveryScale)
{
    struct Image {
        int id;
        const char* name;
        int width, frameHeight, frames;
    };
    const Image images[] = {{100, "a.png", 40, 40, 2},  {101, "a.png", 65, 65, 65},  {102, "a.png", 213, 326, 1},
                            {103, "a.png", 181, 150, 1}, {104, "a.png", 18, 18, 2}, {105, "a.png", 40, 40, 2}};
    for (int percent : mg::kScaleSteps)
        for (const Image& image : images) {
            auto bitmap = mg::DecodeImageByName(mg::PluginModule(), mg::ScaledResourceId(image.id, percent), image.name);
            ASSERT_TRUE(bitmap) << image.id << " at " << percent;
            EXPECT_EQ(bitmap->Width(), mg::ToDevice(image.width, percent)) << image.id << " at " << percent;
            EXPECT_EQ(bitmap->Height(), mg::ToDevice(image.frameHeight, percent) * image.frames)
                << image.id << " at " << percent;
        }

    auto small = mg::DecodeImageByName(mg::PluginModule(), 102, "a.png");
    auto large = mg::DecodeImageByName(mg::PluginModule(), mg::ScaledResourceId(102, 200), "a.png");
    int unlike = 0;
    for (int y = 0; y < large->Height(); ++y)
        for (int x = 0; x < large->Width(); ++x)
            unlike += (large->Pixels()[y * large->RowSpan() + x] & 0xFFFFFF) !=
                      (small->Pixels()[(y / 2) * small->RowSpan() + x / 2] & 0xFFFFFF);
    EXPECT_GT(unlike, large->Width() * large->Height() / 2) << "200 % looks like 100 % doubled";
}

// The host's word of 200 %: a window of twice the size drawn from the 200 %
// set exactly as the generator composes it, and presses in device pixels
// land on the controls at their scaled places.
TEST_F(PedalEditor, TwoHundredPercentFromTheHost)
{
    Do("scale 200");
    Do("open");
    vst::ERect* rect = nullptr;
    ASSERT_EQ(session.Effect()->dispatcher(session.Effect(), vst::effEditGetRect, 0, 0, &rect, 0.0f), 1);
    EXPECT_EQ(rect->right, 426);
    EXPECT_EQ(rect->bottom, 652);

    std::string error;
    const mg::IBitmap& picture = session.Picture();
    auto reference = mg::snapshot::ReadPngFile(std::string(PEDAL_TEST_DATA) + "/editor-200.png", error);
    ASSERT_TRUE(reference) << error;
    ASSERT_EQ(picture.Width(), reference->Width());
    ASSERT_EQ(picture.Height(), reference->Height());
    // The generator composes in premultiplied colour and the editor blends
    // straight alpha, so the soft edges of the controls may differ by a
    // level or two (as the 100 % drawing does from the 100 % composition);
    // everything else is the same pixel.
    int differing = 0, worst = 0;
    for (int y = 0; y < picture.Height(); ++y)
        for (int x = 0; x < picture.Width(); ++x) {
            const std::uint32_t a = picture.Pixels()[y * picture.RowSpan() + x];
            const std::uint32_t b = reference->Pixels()[y * reference->RowSpan() + x];
            differing += (a & 0xFFFFFF) != (b & 0xFFFFFF);
            for (int shift : {0, 8, 16})
                worst = std::max(worst, std::abs(static_cast<int>((a >> shift) & 0xFF) -
                                                 static_cast<int>((b >> shift) & 0xFF)));
        }
    EXPECT_LE(worst, 2);
    EXPECT_LT(differing, picture.Width() * picture.Height() / 30);

    auto& editor = session.Editor();
    using Kind = mg::WindowEventKind;
    editor.HandleWindowEvent({.kind = Kind::Press, .x = 2 * kFootX, .y = 2 * kFootY, .button = mg::MouseButton::Left});
    Do("tick");
    editor.HandleWindowEvent({.kind = Kind::Release, .x = 2 * kFootX, .y = 2 * kFootY, .button = mg::MouseButton::Left});
    Do("tick");
    EXPECT_EQ(Effect(), 0.0f) << "the footswitch at its scaled centre";
    EXPECT_EQ(Frame(kLed), 1);
    // A knob turns as far per logical pixel of drag as at 100 %.
    const double before = Control(kLevelKnob).Value();
    mg::IMouseModifiers held{};
    held.left = true;
    editor.HandleWindowEvent({.kind = Kind::Press, .x = 100, .y = 236, .button = mg::MouseButton::Left});
    editor.HandleWindowEvent({.kind = Kind::Motion, .x = 100, .y = 216, .modifiers = held});
    EXPECT_NEAR(Control(kLevelKnob).Value() - before, 10.0 / 65.0 / 4.0, 1e-9);
    editor.HandleWindowEvent({.kind = Kind::Release, .x = 100, .y = 216, .button = mg::MouseButton::Left});

    // Nonsense from the host changes nothing.
    for (float bad : {0.0f, -1.0f, 5.0f, std::numeric_limits<float>::quiet_NaN(),
                      std::numeric_limits<float>::infinity()})
        session.Effect()->dispatcher(session.Effect(), vst::effVendorSpecific, 0x50726553, 0x41654373, nullptr, bad);
    EXPECT_EQ(editor.ScalePercent(), 200);
    Do("scale 140");
    EXPECT_EQ(editor.ScalePercent(), 150) << "snapped to the nearest step";
}

namespace {

std::vector<std::uint32_t> Pixels(const mg::IBitmap& picture)
{
    std::vector<std::uint32_t> out;
    for (int y = 0; y < picture.Height(); ++y)
        for (int x = 0; x < picture.Width(); ++x) out.push_back(picture.Pixels()[y * picture.RowSpan() + x] & 0xFFFFFF);
    return out;
}

int Differing(const std::vector<std::uint32_t>& a, const std::vector<std::uint32_t>& b)
{
    if (a.size() != b.size()) return -1;
    int n = 0;
    for (std::size_t i = 0; i < a.size(); ++i) n += a[i] != b[i];
    return n;
}

} // namespace

// The size menu: a right-click on the enclosure opens it, a pick applies at
// once and is the size of the next editor; closed again, the pedal is drawn
// as before it opened.
TEST(PedalSizeMenu, APickAppliesAtOnceAndOpensTheNextEditor)
{
    const std::filesystem::path home = std::filesystem::temp_directory_path() / "mg-size-menu-test";
    std::filesystem::remove_all(home);
    const char* old = std::getenv("XDG_CONFIG_HOME");
    const std::string saved = old ? old : "";
    setenv("XDG_CONFIG_HOME", home.c_str(), 1);
    const std::filesystem::path settings = home / "marrow-grit" / "settings";
    const auto run = [](EditorSession& session, const std::string& line) {
        std::string error;
        EXPECT_TRUE(session.Run(line, error)) << line << ": " << error;
    };
    {
        EditorSession session;
        run(session, "open");
        const std::vector<std::uint32_t> before = Pixels(session.Picture());
        mg::ScaleMenuControl* menu = session.Editor().ScaleMenu();
        ASSERT_NE(menu, nullptr);

        run(session, "click 50 118 right");
        EXPECT_FALSE(menu->IsOpen()) << "a right-click on a knob is the knob's";
        run(session, "click 160 40 right");
        ASSERT_TRUE(menu->IsOpen());
        EXPECT_NE(Differing(Pixels(session.Picture()), before), 0);
        run(session, "click 10 10");
        EXPECT_FALSE(menu->IsOpen()) << "a click off the rows closes it";
        EXPECT_EQ(Differing(Pixels(session.Picture()), before), 0);

        run(session, "click 160 40 right");
        const mg::IRectangle panel = menu->Panel();
        const int row200 = panel.top + 5 + 5 * mg::ScaleMenuControl::kRowHeight + 7;
        ASSERT_EQ(menu->PercentAt(panel.left + 20, row200), 200);
        run(session, "click " + std::to_string(panel.left + 20) + " " + std::to_string(row200));
        EXPECT_EQ(session.Editor().ScalePercent(), 200);
        EXPECT_EQ(session.Editor().EditorWidth(), 426);
        EXPECT_EQ(mg::ReadScaleChoice(settings), 200);
    }
    {
        EditorSession next;
        run(next, "open");
        EXPECT_EQ(next.Editor().ScalePercent(), 200) << "the next editor opens at the pick";
        run(next, "click 160 40 right");
        const mg::IRectangle panel = next.Editor().ScaleMenu()->Panel();
        run(next, "click " + std::to_string(panel.left + 20) + " " + std::to_string(panel.top + 8));
        EXPECT_EQ(next.Editor().ScalePercent(), 100) << "AUTO: no host or system word here";
        EXPECT_EQ(mg::ReadScaleChoice(settings), 0);
        EXPECT_TRUE(std::filesystem::exists(settings));
    }
    if (old)
        setenv("XDG_CONFIG_HOME", saved.c_str(), 1);
    else
        unsetenv("XDG_CONFIG_HOME");
    std::filesystem::remove_all(home);
}
