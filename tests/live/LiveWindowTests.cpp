// mg-live's window on an X server of the test's own: the pedal's editor in
// a top-level window titled with its name, drawn as the headless editor
// draws it, a footswitch click that reaches the sound, and closing the
// window as the way out. Under ThreadSanitizer this also races the process
// callback against the window thread.
#include <gtest/gtest.h>
#include <signal.h>

#include <cstdlib>
#include <thread>

#include "HostTestSupport.h"
#include "LiveRig.h"
#include "X11TestHost.h"
#include "editor/x11/Freed.h"

using namespace std::chrono_literals;
using mg::livetest::BypassedShare;
using mg::livetest::Child;
using mg::livetest::Rig;
using mg::x11::Freed;

namespace {

constexpr int kWidth = 213, kHeight = 326; // the pedal's editor
constexpr int kFootX = 100, kFootY = 190;

std::string Title(xcb_connection_t* c, xcb_window_t window)
{
    Freed<xcb_get_property_reply_t> name(xcb_get_property_reply(
        c, xcb_get_property(c, 0, window, XCB_ATOM_WM_NAME, XCB_ATOM_STRING, 0, 256), nullptr));
    if (!name)
        return {};
    return std::string(static_cast<const char*>(xcb_get_property_value(name.p)),
                       static_cast<std::size_t>(xcb_get_property_value_length(name.p)));
}

// The top-level windows titled `title`.
std::vector<xcb_window_t> WindowsTitled(xcb_connection_t* c, const std::string& title)
{
    const xcb_screen_t* screen = xcb_setup_roots_iterator(xcb_get_setup(c)).data;
    Freed<xcb_query_tree_reply_t> tree(xcb_query_tree_reply(c, xcb_query_tree(c, screen->root), nullptr));
    std::vector<xcb_window_t> found;
    if (!tree)
        return found;
    const xcb_window_t* children = xcb_query_tree_children(tree.p);
    for (int i = 0; i < xcb_query_tree_children_length(tree.p); ++i)
        if (Title(c, children[i]) == title)
            found.push_back(children[i]);
    return found;
}

xcb_atom_t Atom(xcb_connection_t* c, const std::string& name)
{
    Freed<xcb_intern_atom_reply_t> atom(xcb_intern_atom_reply(
        c, xcb_intern_atom(c, 0, static_cast<std::uint16_t>(name.size()), name.c_str()), nullptr));
    return atom ? atom->atom : xcb_atom_t{XCB_ATOM_NONE};
}

// What a window manager sends when the user closes the window.
void RequestClose(xcb_connection_t* c, xcb_window_t window)
{
    xcb_client_message_event_t message{};
    message.response_type = XCB_CLIENT_MESSAGE;
    message.format = 32;
    message.window = window;
    message.type = Atom(c, "WM_PROTOCOLS");
    message.data.data32[0] = Atom(c, "WM_DELETE_WINDOW");
    xcb_send_event(c, 0, window, XCB_EVENT_MASK_NO_EVENT, reinterpret_cast<const char*>(&message));
    xcb_flush(c);
}

bool ScreenShows(xcb_connection_t* c, const std::string& script)
{
    const auto expected = mg::test::Headless(script);
    return expected && mg::livetest::WaitUntil(
                           [&] {
                               const auto shot = mg::test::ScreenArea(c, 0, 0, kWidth, kHeight);
                               return shot && mg::test::DifferentPixels(*shot, *expected) == 0;
                           },
                           5s);
}

std::pair<int, int> WindowSize(xcb_connection_t* c, xcb_window_t window)
{
    Freed<xcb_get_geometry_reply_t> geometry(xcb_get_geometry_reply(c, xcb_get_geometry(c, window), nullptr));
    return geometry ? std::pair<int, int>{geometry->width, geometry->height} : std::pair<int, int>{0, 0};
}

// An X server, a JACK server and xdotool of the test's own, and a folder.
class LiveWindow : public ::testing::Test {
protected:
    void SetUp() override
    {
        std::string missing = mg::test::HaveProgram("xdotool") ? "" : "no xdotool";
        for (const std::string& problem : {display_.Problem(), jack_.Problem()})
            if (!problem.empty())
                missing = problem;
        if (missing.empty())
            return;
        if (mg::test::InCi())
            FAIL() << "CI must run the mg-live window tests: " << missing;
        GTEST_SKIP() << missing;
    }

    mg::test::XServer display_;
    mg::livetest::JackServer jack_;
    mg::hosttest::TempDir dir_;
};

} // namespace

TEST_F(LiveWindow, ShowsTheEditorTakesAFootswitchClickAndEndsWhenClosed)
{
    Rig rig(1.0);
    ASSERT_TRUE(rig.Ok());
    Child live({MG_LIVE_PATH, PEDAL_PATH, "--fresh", "--name", "mgl-live", "--in", "mgl-feed:out", "--out",
                "mgl-rec:in_2", "--out", "mgl-rec:in_3"},
               {"XDG_CONFIG_HOME=" + dir_ / "config"}, dir_ / "err.txt");
    ASSERT_TRUE(mg::livetest::WaitUntil([&] { return live.Err().find("mg-live: playing") != std::string::npos; },
                                        20s))
        << live.Err();

    xcb_connection_t* c = xcb_connect(nullptr, nullptr);
    ASSERT_FALSE(xcb_connection_has_error(c));
    const auto windows = WindowsTitled(c, "Marrow-Grit[M]");
    ASSERT_EQ(windows.size(), 1u) << "one top-level window titled with the plug-in's name";
    EXPECT_TRUE(ScreenShows(c, "")) << "the editor as the headless editor draws it";

    rig.Play(196.0, 0.4);
    EXPECT_LT(BypassedShare(rig), 0.1) << "the fuzz is on";
    ASSERT_TRUE(mg::test::RunProgram({"xdotool", "mousemove", std::to_string(kFootX), std::to_string(kFootY),
                                      "click", "1"}));
    EXPECT_TRUE(ScreenShows(c, "click 100 190")) << "the footswitch and its LED, off";
    std::this_thread::sleep_for(100ms);
    EXPECT_GT(BypassedShare(rig), 0.9) << "the click reached the sound: the pedal is bypassed";

    // A new period while the editor is open: the sound goes on at it.
    ASSERT_EQ(jack_set_buffer_size(rig.Client(), 128), 0);
    ASSERT_TRUE(mg::livetest::WaitUntil([&] { return jack_get_buffer_size(rig.Client()) == 128; }, 10s));
    std::this_thread::sleep_for(100ms);
    EXPECT_GT(BypassedShare(rig), 0.9) << "still playing, still bypassed";

    RequestClose(c, windows[0]);
    EXPECT_EQ(live.Wait(), 0) << live.Err();
    EXPECT_EQ(live.Err().find("error"), std::string::npos) << live.Err();
    EXPECT_TRUE(WindowsTitled(c, "Marrow-Grit[M]").empty());
    xcb_disconnect(c);
}

// Only the main thread talks to the plug-in, at the "user" process level,
// while its editor idles and the server changes its period (the probe logs
// any other call); the editor may resize its window, within the screen.
TEST_F(LiveWindow, OneThreadTalksToThePluginWhileItsWindowResizesAndThePeriodChanges)
{
    Rig rig(0.1);
    ASSERT_TRUE(rig.Ok());
    const std::string log = dir_ / "probe.log";
    Child live({MG_LIVE_PATH, MG_PROBE_PATH, "--fresh", "--no-connect", "--name", "mgl-live"},
               {"XDG_CONFIG_HOME=" + dir_ / "config", "MG_PROBE_LOG=" + log, "MG_PROBE_EDITOR=1"}, dir_ / "err.txt");
    const auto logged = [&](const std::string& line) {
        return mg::livetest::WaitUntil([&] { return mg::hosttest::ReadText(log).find(line) != std::string::npos; },
                                       20s);
    };
    ASSERT_TRUE(logged("size window 1\n")) << live.Err() << mg::hosttest::ReadText(log);

    xcb_connection_t* c = xcb_connect(nullptr, nullptr);
    ASSERT_FALSE(xcb_connection_has_error(c));
    const auto windows = WindowsTitled(c, "Host Probe");
    ASSERT_EQ(windows.size(), 1u);
    const xcb_screen_t* screen = xcb_setup_roots_iterator(xcb_get_setup(c)).data;
    EXPECT_TRUE(mg::livetest::WaitUntil(
        [&] { return WindowSize(c, windows[0]) == std::pair<int, int>{300, screen->height_in_pixels}; }, 5s))
        << WindowSize(c, windows[0]).first << "x" << WindowSize(c, windows[0]).second;
    xcb_disconnect(c);

    ASSERT_EQ(jack_set_buffer_size(rig.Client(), 128), 0);
    EXPECT_TRUE(logged("block size 128\n")) << mg::hosttest::ReadText(log);
    std::this_thread::sleep_for(200ms); // idle calls and periods at the new size
    live.Signal(SIGTERM);
    EXPECT_EQ(live.Wait(), 0) << live.Err();
    const std::string calls = mg::hosttest::ReadText(log);
    EXPECT_EQ(calls.find("from another thread"), std::string::npos) << calls;
    EXPECT_EQ(calls.find("at process level"), std::string::npos) << calls;
    EXPECT_NE(calls.find("process replacing level 2\n"), std::string::npos) << calls;
}
