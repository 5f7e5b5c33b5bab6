// The CLAP module's editor through the gui extension, in our CLAP host
// (host/clap/) on an X server of the test's own: opened in the host's
// window on the host's timers, drawn as the headless editor draws, and a
// footswitch click reaching the host as a gesture (begin, value, end) and
// bypassing the sound.
#include <gtest/gtest.h>

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
    if (!server.Running()) {
        if (mg::test::InCi()) FAIL() << "CI must run the X11 tests: " << server.Problem();
        GTEST_SKIP() << server.Problem();
    }
    if (!mg::test::HaveProgram("xdotool")) {
        if (mg::test::InCi()) FAIL() << "CI must run the X11 tests: no xdotool";
        GTEST_SKIP() << "no xdotool";
    }
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

} // namespace
