// The CLAP module's editor through the gui extension, in our CLAP host
// (host/clap/) on an X server of the test's own: opened in the host's
// window on the host's timers, drawn as the headless editor draws, and a
// footswitch click reaching the host as a gesture (begin, value, end) and
// bypassing the sound; and a size picked in the editor's menu asking the
// host for a window of that size.
#include <gtest/gtest.h>

#include <dlfcn.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <thread>

#include "ClapHostedPlugin.h"
#include "X11TestHost.h"

using namespace std::chrono_literals;

namespace {

constexpr int kEffect = 2;
constexpr int kFootX = 100, kFootY = 190;

TEST(ClapEditor, OpensOnHostTimersAndAFootswitchClickIsAGesture)
{
    mg::test::XServer server;
    MG_REQUIRE_X11(server, true);
    // The VST host's window and pointer only; the plug-in is the CLAP one.
    mg::test::X11Host window(PEDAL_PATH);
    ASSERT_TRUE(window.Connected());
    mg::host::ClapHostedPlugin clap(CLAP_PATH);
    int width = 0, height = 0;
    ASSERT_TRUE(clap.EditorSize(width, height));
    ASSERT_TRUE(clap.OpenEditor(reinterpret_cast<void*>(static_cast<std::uintptr_t>(window.Parent()))));
    const auto idleUntil = [&](const std::function<bool()>& done) {
        for (auto end = std::chrono::steady_clock::now() + 3s; std::chrono::steady_clock::now() < end;) {
            clap.IdleEditor();
            if (done()) return true;
            std::this_thread::sleep_for(5ms);
        }
        return false;
    };
    const auto screenIs = [&](const std::string& script) {
        const auto expected = mg::test::Headless(script);
        return expected && idleUntil([&] {
                   const auto shot = window.Screenshot(width, height);
                   return shot && mg::test::DifferentPixels(*shot, *expected) == 0;
               });
    };
    EXPECT_TRUE(screenIs("")) << "the editor as drawn headless";

    ASSERT_TRUE(window.PointerAt(kFootX, kFootY, {"click", "1"}));
    EXPECT_TRUE(idleUntil([&] { return clap.Parameter(kEffect) == 0.0; })) << "the click switched the fuzz off";
    EXPECT_TRUE(screenIs("click 100 190")) << "the LED and footswitch as drawn headless";
    const auto sent = clap.TakeSentEvents();
    ASSERT_EQ(sent.size(), 3u);
    EXPECT_EQ(sent[0].type, clap::kEventParamGestureBegin);
    EXPECT_EQ(sent[1].type, clap::kEventParamValue);
    EXPECT_EQ(sent[1].value, 0.0);
    EXPECT_EQ(sent[2].type, clap::kEventParamGestureEnd);
    for (const auto& event : sent) EXPECT_EQ(event.param, static_cast<clap::id_t>(kEffect));

    // Bypassed: both inputs summed on both outputs.
    clap.Prepare(48000.0, 64, mg::host::SampleSize::Float);
    clap.Resume();
    std::vector<float> a(64, 0.25f), b(64, 0.125f), l(64), r(64);
    float* in[] = {a.data(), b.data()};
    float* out[] = {l.data(), r.data()};
    clap.Process(in, out, 64);
    EXPECT_EQ(l, std::vector<float>(64, 0.375f));
    clap.Suspend();
    clap.CloseEditor();
}

// A host of the test's own for the resize: the gui extension, whose
// request_resize is recorded and answered as `accept` says, and a timer
// the test runs itself.
struct ResizeHost {
    clap::host_t host{clap::kVersion, this, "resize test", "", "", "1.0", &Extension, &Nothing, &Nothing, &Nothing};
    bool accept = true;
    std::vector<std::pair<std::uint32_t, std::uint32_t>> requests;
    clap::id_t timer = clap::kInvalidId;

    static ResizeHost& Of(const clap::host_t* h) { return *static_cast<ResizeHost*>(h->host_data); }
    static void CLAP_CALL Nothing(const clap::host_t*) {}
    static const void* CLAP_CALL Extension(const clap::host_t*, const char* name)
    {
        static const clap::host_gui_t gui{
            [](const clap::host_t*) {},
            [](const clap::host_t* h, std::uint32_t w, std::uint32_t ht) {
                Of(h).requests.emplace_back(w, ht);
                return Of(h).accept;
            },
            [](const clap::host_t*) { return false; }, [](const clap::host_t*) { return false; },
            [](const clap::host_t*, bool) {}};
        static const clap::host_timer_support_t timers{
            [](const clap::host_t* h, std::uint32_t, clap::id_t* id) {
                *id = Of(h).timer = 7;
                return true;
            },
            [](const clap::host_t* h, clap::id_t) {
                Of(h).timer = clap::kInvalidId;
                return true;
            }};
        if (std::strcmp(name, clap::kExtGui) == 0) return &gui;
        if (std::strcmp(name, clap::kExtTimerSupport) == 0) return &timers;
        return nullptr;
    }
};

std::pair<std::uint32_t, std::uint32_t> SizeOf(const clap::plugin_gui_t* gui, const clap::plugin_t* p)
{
    std::uint32_t w = 0, h = 0;
    gui->get_size(p, &w, &h);
    return {w, h};
}

TEST(ClapEditor, TheDesktopsScaleAndASizePickedInTheMenuAskTheHostToResize)
{
    mg::test::XServer server;
    MG_REQUIRE_X11(server, true);
    // No earlier pick of the user's, and none left behind.
    const std::filesystem::path config = std::filesystem::temp_directory_path() / "mg-clap-resize-test";
    std::filesystem::remove_all(config);
    const char* oldConfig = std::getenv("XDG_CONFIG_HOME");
    const std::string savedConfig = oldConfig ? oldConfig : "";
    setenv("XDG_CONFIG_HOME", config.c_str(), 1);

    mg::test::X11Host window(PEDAL_PATH);
    ASSERT_TRUE(window.Connected());
    void* library = dlopen(CLAP_PATH, RTLD_NOW | RTLD_LOCAL);
    ASSERT_NE(library, nullptr) << dlerror();
    const auto* entry = static_cast<const clap::plugin_entry_t*>(dlsym(library, "clap_entry"));
    ASSERT_TRUE(entry && entry->init(CLAP_PATH));
    const auto* factory = static_cast<const clap::plugin_factory_t*>(entry->get_factory(clap::kPluginFactoryId));
    ResizeHost host;
    const clap::plugin_t* p =
        factory->create_plugin(factory, &host.host, factory->get_plugin_descriptor(factory, 0)->id);
    ASSERT_TRUE(p && p->init(p));
    const auto* gui = static_cast<const clap::plugin_gui_t*>(p->get_extension(p, clap::kExtGui));
    const auto* timer = static_cast<const clap::plugin_timer_support_t*>(p->get_extension(p, clap::kExtTimerSupport));
    ASSERT_TRUE(gui && timer);
    ASSERT_TRUE(gui->create(p, clap::kWindowApiX11, false));
    // The desktop at 150 %: learned as the window opens, after the host
    // sized its window from get_size, so the editor asks for its size then.
    xcb_connection_t* c = window.Connection();
    const xcb_window_t root = xcb_setup_roots_iterator(xcb_get_setup(c)).data->root;
    const std::string resources = "Xft.dpi:\t144\n";
    xcb_change_property(c, XCB_PROP_MODE_REPLACE, root, XCB_ATOM_RESOURCE_MANAGER, XCB_ATOM_STRING, 8,
                        static_cast<std::uint32_t>(resources.size()), resources.data());
    xcb_flush(c);
    EXPECT_EQ(SizeOf(gui, p), std::pair(213u, 326u));
    clap::window_t parent{clap::kWindowApiX11, {}};
    parent.x11 = window.Parent();
    ASSERT_TRUE(gui->set_parent(p, &parent));
    xcb_delete_property(c, root, XCB_ATOM_RESOURCE_MANAGER);
    xcb_flush(c);
    ASSERT_EQ(host.requests.size(), 1u) << "the host was asked to fit the desktop's scale";
    EXPECT_EQ(host.requests.back(), std::pair(320u, 489u));
    EXPECT_EQ(SizeOf(gui, p), std::pair(320u, 489u));
    gui->show(p);

    const auto idleFor = [&](std::chrono::milliseconds time, const std::function<bool()>& done) {
        for (auto end = std::chrono::steady_clock::now() + time; std::chrono::steady_clock::now() < end;) {
            timer->on_timer(p, host.timer);
            if (done && done()) return true;
            std::this_thread::sleep_for(5ms);
        }
        return false;
    };
    const auto size = [&] { return SizeOf(gui, p); };
    // Right-click on the enclosure opens the menu at the pointer (moved in
    // by its width); rows of 14 logical pixels from 5 below its top, AUTO first.
    const auto pick = [&](int rowsDown, int scale) {
        EXPECT_TRUE(window.PointerAt(160 * scale / 100, 40 * scale / 100, {"click", "3"}));
        idleFor(300ms, nullptr);
        const int y = 40 + 5 + rowsDown * 14 + 7;
        EXPECT_TRUE(window.PointerAt(175 * scale / 100, y * scale / 100, {"click", "1"}));
        const std::size_t before = host.requests.size();
        return idleFor(3s, [&] { return host.requests.size() > before; });
    };
    idleFor(200ms, nullptr);
    ASSERT_TRUE(pick(5, 150)) << "200 % asked for";
    EXPECT_EQ(host.requests.back(), std::pair(426u, 652u));
    EXPECT_EQ(size(), std::pair(426u, 652u));

    host.accept = false;
    ASSERT_TRUE(pick(7, 200)) << "300 % asked for";
    EXPECT_EQ(host.requests.back(), std::pair(639u, 978u));
    EXPECT_EQ(size(), std::pair(426u, 652u)) << "refused: the old size stays";

    gui->destroy(p);
    p->destroy(p);
    entry->deinit();
    dlclose(library);
    if (oldConfig)
        setenv("XDG_CONFIG_HOME", savedConfig.c_str(), 1);
    else
        unsetenv("XDG_CONFIG_HOME");
    std::filesystem::remove_all(config);
}

} // namespace
