// The Linux plug-in's editor window as a host shows it: the pedal loaded
// through its entry point, its editor opened in a window of the host on an X
// server of the test's own, idle calls as hosts make them, the mouse and
// keys through the server (xdotool), and what the screen shows compared
// with the headless rendering of the same state.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include <dlfcn.h>
#include <lv2/atom/atom.h>
#include <lv2/options/options.h>
#include <lv2/ui/ui.h>
#include <lv2/urid/urid.h>

#include "EditorSession.h"
#include "PngFile.h"
#include "X11TestHost.h"
#include "editor/IControl.h"

using namespace std::chrono_literals;
using mg::test::X11Host;

namespace {

constexpr int kLevel = 0, kEffect = 2, kCabinet = 3;
constexpr int kFootX = 100, kFootY = 190;
constexpr int kKnobX = 50, kKnobY = 118; // on the Level knob
constexpr int kCabinetSwitch = 2;        // control index

using mg::test::Headless;
using mg::test::InCi;

class X11Editor : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (!server_.Running()) {
            if (InCi()) FAIL() << "CI must run the X11 tests: " << server_.Problem();
            GTEST_SKIP() << server_.Problem();
        }
        host_ = std::make_unique<X11Host>(PEDAL_PATH);
        ASSERT_TRUE(host_->Connected());
        mg::test::FakeHost::Reset();
        host_->NewInstance();
        ASSERT_TRUE(host_->FitParentToEditor(width_, height_));
    }

    bool NeedXdotool()
    {
        if (mg::test::HaveProgram("xdotool")) return true;
        if (InCi()) ADD_FAILURE() << "CI must run the X11 tests: no xdotool";
        return false;
    }

    void OpenEditor()
    {
        ASSERT_EQ(host_->OpenEditor(), 1);
        ASSERT_EQ(host_->Children(host_->Parent()).size(), 1u);
    }

    xcb_window_t EditorWindow() const
    {
        const auto children = host_->Children(host_->Parent());
        return children.size() == 1 ? children[0] : XCB_NONE;
    }

    // Keeps the host idling until the screen shows what the headless editor
    // draws after `script`; on a mismatch both pictures are left as PNGs.
    void ExpectScreenAsHeadless(const std::string& script, const char* name)
    {
        const auto expected = Headless(script);
        ASSERT_NE(expected, nullptr) << "the headless editor did not run " << script;
        std::unique_ptr<mg::IMemoryBitmap> shot;
        const bool same = host_->Idle(3000ms, [&] {
            shot = host_->Screenshot(width_, height_);
            return shot && mg::test::DifferentPixels(*shot, *expected) == 0;
        });
        if (same) return;
        ASSERT_NE(shot, nullptr) << "no screenshot";
        std::string error;
        mg::snapshot::WritePngFile(*shot, std::string("x11-") + name + "-screen.png", error);
        mg::snapshot::WritePngFile(*expected, std::string("x11-") + name + "-headless.png", error);
        ADD_FAILURE() << name << ": " << mg::test::DifferentPixels(*shot, *expected)
                      << " pixels differ from the headless rendering (x11-" << name << "-*.png)";
    }

    bool WaitForParameter(int index, float value)
    {
        return host_->Idle(3000ms, [&] { return std::fabs(host_->Parameter(index) - value) < 1e-4f; });
    }

    // The editor's value box, once it is there.
    bool WaitForBox(bool present)
    {
        return host_->Idle(3000ms, [&] { return host_->Children(EditorWindow()).empty() != present; });
    }

    mg::test::XServer server_;
    std::unique_ptr<X11Host> host_;
    int width_ = 0;
    int height_ = 0;
};

} // namespace

TEST_F(X11Editor, OpensInTheHostWindowAndShowsWhatTheHeadlessEditorDraws)
{
    EXPECT_EQ(width_, 213);
    EXPECT_EQ(height_, 326);
    OpenEditor();
    const xcb_window_t editor = EditorWindow();
    xcb_connection_t* c = host_->Connection();
    xcb_get_geometry_reply_t* geometry = xcb_get_geometry_reply(c, xcb_get_geometry(c, editor), nullptr);
    ASSERT_NE(geometry, nullptr);
    EXPECT_EQ(geometry->x, 0);
    EXPECT_EQ(geometry->y, 0);
    EXPECT_EQ(geometry->width, 213);
    EXPECT_EQ(geometry->height, 326);
    std::free(geometry);
    ExpectScreenAsHeadless("", "open");

    // Opening again while open puts the new window where the old one was.
    ASSERT_EQ(host_->OpenEditor(), 1);
    EXPECT_EQ(host_->Children(host_->Parent()).size(), 1u);
    ExpectScreenAsHeadless("", "reopen");

    EXPECT_EQ(host_->CloseEditor(), 1);
    EXPECT_TRUE(host_->Children(host_->Parent()).empty());
}

TEST_F(X11Editor, FootswitchClicksToggleEffectAndTheLedFollows)
{
    if (!NeedXdotool()) GTEST_SKIP() << "no xdotool";
    OpenEditor();
    ExpectScreenAsHeadless("", "before-click");
    ASSERT_EQ(host_->Parameter(kEffect), 1.0f);

    ASSERT_TRUE(host_->PointerAt(kFootX, kFootY, {"click", "1"}));
    EXPECT_TRUE(WaitForParameter(kEffect, 0.0f)) << "the click switched the fuzz off";
    ExpectScreenAsHeadless("click 100 190", "effect-off");
    EXPECT_EQ(mg::test::FakeHost::Count(vst::audioMasterAutomate), 1) << "the host heard of it once";

    ASSERT_TRUE(host_->PointerAt(kFootX, kFootY, {"click", "1"}));
    EXPECT_TRUE(WaitForParameter(kEffect, 1.0f));
    ExpectScreenAsHeadless("click 100 190\nclick 100 190", "effect-on");
}

TEST_F(X11Editor, KnobFollowsDragWheelAndDoubleClick)
{
    if (!NeedXdotool()) GTEST_SKIP() << "no xdotool";
    OpenEditor();
    ExpectScreenAsHeadless("", "before-drag");

    // 26 pixels up on a 65-pixel knob at gearing 4: a tenth more.
    ASSERT_TRUE(host_->PointerAt(kKnobX, kKnobY,
                                 {"mousedown", "1", "mousemove", std::to_string(X11Host::kParentX + kKnobX),
                                  std::to_string(X11Host::kParentY + kKnobY - 26), "mouseup", "1"}));
    EXPECT_TRUE(WaitForParameter(kLevel, 0.6f)) << host_->Parameter(kLevel);
    ExpectScreenAsHeadless("press 50 118\ndrag 50 92\nrelease 50 92", "drag");
    EXPECT_EQ(mg::test::FakeHost::Count(vst::audioMasterBeginEdit), 1);
    EXPECT_EQ(mg::test::FakeHost::Count(vst::audioMasterEndEdit), 1);

    // Wheel notches away from the user turn it up by a hundredth each.
    ASSERT_TRUE(host_->PointerAt(kKnobX, kKnobY, {"click", "4"}));
    EXPECT_TRUE(WaitForParameter(kLevel, 0.61f)) << host_->Parameter(kLevel);

    // Two quick clicks: a double click, which restores the knob's first value
    // (after a pause, so that the wheel's click does not pair with the drag's).
    host_->Idle(600ms);
    ASSERT_TRUE(host_->PointerAt(kKnobX, kKnobY, {"click", "--repeat", "2", "--delay", "120", "1"}));
    EXPECT_TRUE(WaitForParameter(kLevel, 0.5f)) << host_->Parameter(kLevel);
    // Each gesture ends as often as it begins.
    host_->Idle(100ms);
    EXPECT_EQ(mg::test::FakeHost::Count(vst::audioMasterBeginEdit),
              mg::test::FakeHost::Count(vst::audioMasterEndEdit));
    ExpectScreenAsHeadless("", "double-click");
}

TEST_F(X11Editor, RightClickOpensAValueBoxThatCommitsOrCancels)
{
    if (!NeedXdotool()) GTEST_SKIP() << "no xdotool";
    OpenEditor();
    host_->Idle(100ms);

    // A number typed into the knob's box and Return.
    ASSERT_TRUE(host_->PointerAt(kKnobX, kKnobY, {"click", "3"}));
    ASSERT_TRUE(WaitForBox(true));
    ASSERT_TRUE(host_->Keys({"type", "--delay", "20", "0.25"}));
    ASSERT_TRUE(host_->Keys({"key", "Return"}));
    EXPECT_TRUE(WaitForParameter(kLevel, 0.25f)) << host_->Parameter(kLevel);
    EXPECT_TRUE(WaitForBox(false));

    // Escape puts the box away unused.
    ASSERT_TRUE(host_->PointerAt(kKnobX, kKnobY, {"click", "3"}));
    ASSERT_TRUE(WaitForBox(true));
    ASSERT_TRUE(host_->Keys({"type", "--delay", "20", "0.9"}));
    ASSERT_TRUE(host_->Keys({"key", "Escape"}));
    EXPECT_TRUE(WaitForBox(false));
    EXPECT_NEAR(host_->Parameter(kLevel), 0.25f, 1e-4f);

    // So does a click elsewhere, which goes no further: not even to the footswitch.
    ASSERT_TRUE(host_->PointerAt(kKnobX, kKnobY, {"click", "3"}));
    ASSERT_TRUE(WaitForBox(true));
    ASSERT_TRUE(host_->PointerAt(kFootX, kFootY, {"click", "1"}));
    EXPECT_TRUE(WaitForBox(false));
    host_->Idle(150ms);
    EXPECT_NEAR(host_->Parameter(kLevel), 0.25f, 1e-4f);
    EXPECT_EQ(host_->Parameter(kEffect), 1.0f);

    // The cabinet switch has value texts: a list, and picking "Off" commits it.
    mg::snapshot::EditorSession session;
    const mg::IRectangle cabinet = session.Editor().ControlAt(kCabinetSwitch)->DrawRect();
    const int cx = (cabinet.left + cabinet.right) / 2, cy = (cabinet.top + cabinet.bottom) / 2;
    std::string error;
    ASSERT_TRUE(session.Run("press " + std::to_string(cx) + " " + std::to_string(cy) + " right", error)) << error;
    ASSERT_NE(session.Editor().Prompt(), nullptr);
    const mg::TextEntryPlan plan = *session.Editor().Prompt();
    ASSERT_TRUE(plan.choiceList);
    ASSERT_EQ(host_->Parameter(kCabinet), 1.0f);
    ASSERT_TRUE(host_->PointerAt(cx, cy, {"click", "3"}));
    ASSERT_TRUE(WaitForBox(true));
    ASSERT_TRUE(host_->PointerAt(plan.x + 10, plan.y + 6, {"click", "1"})); // the first row, "Off"
    EXPECT_TRUE(WaitForParameter(kCabinet, 0.0f));
    EXPECT_TRUE(WaitForBox(false));
}

TEST_F(X11Editor, OpeningAndClosingFiftyTimesLeavesNothingBehind)
{
    host_->Idle(20ms);
    const int files = mg::test::OpenFileCount();
    const int threads = mg::test::ThreadCount();
    const int clients = host_->ServerClientCount();
    const long resources = host_->ServerResourceCount();
    ASSERT_GT(files, 0);
    ASSERT_GT(clients, 0);

    for (int i = 0; i < 50; ++i) {
        ASSERT_EQ(host_->OpenEditor(), 1) << "round " << i;
        host_->Idle(10ms);
        if (i == 0) {
            EXPECT_EQ(host_->ServerClientCount(), clients + 1) << "the editor has a connection of its own";
            EXPECT_EQ(mg::test::OpenFileCount(), files + 1);
            EXPECT_EQ(mg::test::ThreadCount(), threads) << "and no thread";
        }
        ASSERT_EQ(host_->CloseEditor(), 1);
        ASSERT_TRUE(host_->Children(host_->Parent()).empty()) << "round " << i;
    }
    EXPECT_EQ(mg::test::OpenFileCount(), files);
    EXPECT_EQ(mg::test::ThreadCount(), threads);
    // The server drops a closed connection's resources on its own time.
    EXPECT_TRUE(host_->Idle(3000ms, [&] {
        return host_->ServerClientCount() == clients && host_->ServerResourceCount() == resources;
    })) << host_->ServerClientCount() << " clients, " << host_->ServerResourceCount() << " resources";
}

TEST_F(X11Editor, HostEndingEverythingAtOnceLeavesNothingBehind)
{
    host_->Idle(20ms);
    const int files = mg::test::OpenFileCount();
    const int threads = mg::test::ThreadCount();
    const int clients = host_->ServerClientCount();
    const long resources = host_->ServerResourceCount();
    const bool pointer = mg::test::HaveProgram("xdotool");

    for (int i = 0; i < 5; ++i) {
        // Editor and instance closed back to back, with input still queued.
        ASSERT_EQ(host_->OpenEditor(), 1);
        host_->Idle(10ms);
        if (pointer) host_->PointerAt(kFootX, kFootY + i, {"click", "1"});
        EXPECT_EQ(host_->CloseEditor(), 1);
        host_->NewInstance();

        // The instance destroyed with its editor open.
        ASSERT_EQ(host_->OpenEditor(), 1);
        host_->Idle(10ms);
        host_->NewInstance();
        EXPECT_TRUE(host_->Children(host_->Parent()).empty());
    }

    // The host's window destroyed before the editor is closed.
    xcb_connection_t* c = host_->Connection();
    const xcb_window_t doomed = xcb_generate_id(c);
    xcb_create_window(c, XCB_COPY_FROM_PARENT, doomed, host_->Parent(), 0, 0, 213, 326, 0,
                      XCB_WINDOW_CLASS_INPUT_OUTPUT, XCB_COPY_FROM_PARENT, 0, nullptr);
    xcb_map_window(c, doomed);
    free(xcb_get_input_focus_reply(c, xcb_get_input_focus(c), nullptr));
    ASSERT_EQ(host_->Plugin().Dispatch(vst::effEditOpen, 0, 0, reinterpret_cast<void*>(std::uintptr_t{doomed})), 1);
    host_->Idle(10ms);
    xcb_destroy_window(c, doomed);
    xcb_flush(c);
    host_->Idle(50ms);
    EXPECT_EQ(host_->CloseEditor(), 1);
    host_->Idle(10ms);

    EXPECT_EQ(mg::test::OpenFileCount(), files);
    EXPECT_EQ(mg::test::ThreadCount(), threads);
    EXPECT_TRUE(host_->Idle(3000ms, [&] {
        return host_->ServerClientCount() == clients && host_->ServerResourceCount() == resources;
    })) << host_->ServerClientCount() << " clients, " << host_->ServerResourceCount() << " resources";
}

TEST_F(X11Editor, NoDisplayOrNoSuchWindowMeansNoEditor)
{
    const int files = mg::test::OpenFileCount();
    auto& plugin = host_->Plugin();
    EXPECT_EQ(plugin.Dispatch(vst::effEditOpen, 0, 0, nullptr), 0);
    // An id no window has (ids of clients start far below this).
    EXPECT_EQ(plugin.Dispatch(vst::effEditOpen, 0, 0, reinterpret_cast<void*>(std::uintptr_t{0x1FFFFFF0})), 0);
    // Not an X11 id at all.
    EXPECT_EQ(plugin.Dispatch(vst::effEditOpen, 0, 0, reinterpret_cast<void*>(~std::uintptr_t{0})), 0);

    const std::string display = std::getenv("DISPLAY");
    unsetenv("DISPLAY");
    EXPECT_EQ(host_->OpenEditor(), 0);
    setenv("DISPLAY", display.c_str(), 1);
    EXPECT_EQ(mg::test::OpenFileCount(), files) << "failed opens keep no connection";

    // Idle calls without a window do nothing, and the editor still opens.
    host_->Idle(20ms);
    EXPECT_EQ(host_->OpenEditor(), 1);
    EXPECT_EQ(host_->CloseEditor(), 1);
}

// A host that says its display is at 200 % before opening the editor gets
// a window of twice the size, drawn as the headless editor draws at 200 %,
// whose controls answer at their scaled places.
TEST_F(X11Editor, HostScaleOfTwoOpensTwiceTheSize)
{
    EXPECT_EQ(host_->Plugin().Dispatch(vst::effVendorSpecific, 0x50726553, 0x41654373, nullptr, 2.0f), 1);
    ASSERT_TRUE(host_->FitParentToEditor(width_, height_));
    EXPECT_EQ(width_, 426);
    EXPECT_EQ(height_, 652);
    OpenEditor();
    xcb_connection_t* c = host_->Connection();
    xcb_get_geometry_reply_t* geometry = xcb_get_geometry_reply(c, xcb_get_geometry(c, EditorWindow()), nullptr);
    ASSERT_NE(geometry, nullptr);
    EXPECT_EQ(geometry->width, 426);
    EXPECT_EQ(geometry->height, 652);
    std::free(geometry);
    ExpectScreenAsHeadless("scale 200", "scale-200");

    if (!NeedXdotool()) GTEST_SKIP() << "no xdotool";
    ASSERT_TRUE(host_->PointerAt(2 * kFootX, 2 * kFootY, {"click", "1"}));
    EXPECT_TRUE(WaitForParameter(kEffect, 0.0f)) << "the footswitch at its scaled centre";
    ExpectScreenAsHeadless("scale 200\nclick 100 190", "scale-200-off");
}

// Without a word from the host the desktop's Xft.dpi decides: 144 is 150 %.
TEST_F(X11Editor, XftDpiSetsTheSizeWithoutAHostWord)
{
    xcb_connection_t* c = host_->Connection();
    const xcb_window_t root = xcb_setup_roots_iterator(xcb_get_setup(c)).data->root;
    const std::string resources = "Xft.antialias:\t1\nXft.dpi:\t144\n";
    xcb_change_property(c, XCB_PROP_MODE_REPLACE, root, XCB_ATOM_RESOURCE_MANAGER, XCB_ATOM_STRING, 8,
                        static_cast<std::uint32_t>(resources.size()), resources.data());
    xcb_flush(c);
    OpenEditor();
    xcb_get_geometry_reply_t* geometry = xcb_get_geometry_reply(c, xcb_get_geometry(c, EditorWindow()), nullptr);
    xcb_delete_property(c, root, XCB_ATOM_RESOURCE_MANAGER);
    xcb_flush(c);
    ASSERT_NE(geometry, nullptr);
    EXPECT_EQ(geometry->width, 320);
    EXPECT_EQ(geometry->height, 489);
    std::free(geometry);
    EXPECT_EQ(mg::test::FakeHost::Count(vst::audioMasterSizeWindow), 1) << "the host was asked to fit it";
    int width = 0, height = 0;
    ASSERT_TRUE(host_->FitParentToEditor(width, height));
    EXPECT_EQ(width, 320);
    EXPECT_EQ(height, 489);
}

#if defined(MG_LV2_UI_LIBRARY)
// An LV2 host that gives ui:scaleFactor 2 gets the UI at twice the size,
// told through ui:resize.
TEST_F(X11Editor, Lv2ScaleFactorOpensTwiceTheSize)
{
    void* library = dlopen(MG_LV2_UI_LIBRARY, RTLD_NOW | RTLD_LOCAL);
    ASSERT_NE(library, nullptr) << dlerror();
    auto entry = reinterpret_cast<const LV2UI_Descriptor* (*)(uint32_t)>(dlsym(library, "lv2ui_descriptor"));
    ASSERT_NE(entry, nullptr);
    const LV2UI_Descriptor* ui = entry(0);

    static std::vector<std::string> uris;
    uris.clear();
    LV2_URID_Map map{nullptr, [](LV2_URID_Map_Handle, const char* uri) -> LV2_URID {
                         for (std::size_t i = 0; i < uris.size(); ++i)
                             if (uris[i] == uri) return static_cast<LV2_URID>(i + 1);
                         uris.emplace_back(uri);
                         return static_cast<LV2_URID>(uris.size());
                     }};
    const float two = 2.0f;
    const LV2_Options_Option options[] = {
        {LV2_OPTIONS_INSTANCE, 0, map.map(nullptr, LV2_UI__scaleFactor), sizeof two, map.map(nullptr, LV2_ATOM__Float),
         &two},
        {LV2_OPTIONS_INSTANCE, 0, 0, 0, 0, nullptr}};
    static int width = 0, height = 0;
    LV2UI_Resize resize{nullptr, [](LV2UI_Feature_Handle, int w, int h) {
                            width = w;
                            height = h;
                            return 0;
                        }};
    LV2_Feature parent{LV2_UI__parent, reinterpret_cast<void*>(static_cast<std::uintptr_t>(host_->Parent()))};
    LV2_Feature mapFeature{LV2_URID__map, &map};
    LV2_Feature optionsFeature{LV2_OPTIONS__options, const_cast<LV2_Options_Option*>(options)};
    LV2_Feature resizeFeature{LV2_UI__resize, &resize};
    const LV2_Feature* features[] = {&parent, &mapFeature, &optionsFeature, &resizeFeature, nullptr};
    auto write = [](LV2UI_Controller, uint32_t, uint32_t, uint32_t, const void*) {};
    LV2UI_Widget widget = nullptr;
    LV2UI_Handle handle = ui->instantiate(ui, "", "", write, nullptr, &widget, features);
    ASSERT_NE(handle, nullptr);
    EXPECT_EQ(width, 426);
    EXPECT_EQ(height, 652);
    ui->cleanup(handle);
    dlclose(library);
}
#endif
