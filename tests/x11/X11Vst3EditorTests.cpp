// The VST 3 plug-in's editor in a host's window: the bundle loaded by the
// host side mg-host uses, its view attached to the host's window on an X
// server of the test's own and driven by the host's run-loop timer, the
// picture compared with the headless drawing, a footswitch click heard by
// the host as an edit, and the view opened and closed without leaving
// anything behind.
#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "Vst3HostedPlugin.h"
#include "X11TestHost.h"

using namespace std::chrono_literals;

namespace {

constexpr int kEffect = 2;
constexpr int kFootX = 100, kFootY = 190;

class X11Vst3Editor : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (!server_.Running()) {
            if (mg::test::InCi()) FAIL() << "CI must run the X11 tests: " << server_.Problem();
            GTEST_SKIP() << server_.Problem();
        }
        // The host's window; the VST 2.4 library it would load stays unused.
        host_ = std::make_unique<mg::test::X11Host>(PEDAL_PATH);
        ASSERT_TRUE(host_->Connected());
        plugin_ = mg::host::LoadVst3Plugin(VST3_BUNDLE, [this](int index, double value) {
            edits_.emplace_back(index, value);
        });
    }

    bool Open() { return plugin_->OpenEditor(reinterpret_cast<void*>(static_cast<std::uintptr_t>(host_->Parent()))); }

    // The host's run loop for `time`, or until `done`.
    bool Idle(std::chrono::milliseconds time, const std::function<bool()>& done = nullptr)
    {
        return host_->Idle(time, [&] {
            plugin_->IdleEditor();
            return done && done();
        }) || !done;
    }

    bool ScreenAsHeadless(const std::string& script)
    {
        const auto expected = mg::test::Headless(script);
        return expected && Idle(3000ms, [&] {
                   const auto shot = host_->Screenshot(213, 326);
                   return shot && mg::test::DifferentPixels(*shot, *expected) == 0;
               });
    }

    mg::test::XServer server_;
    std::unique_ptr<mg::test::X11Host> host_;
    std::unique_ptr<mg::host::HostedPlugin> plugin_;
    std::vector<std::pair<int, double>> edits_;
};

} // namespace

TEST_F(X11Vst3Editor, ShowsTheHeadlessPictureAndAFootswitchClickBypassesTheSound)
{
    int width = 0, height = 0;
    ASSERT_TRUE(plugin_->EditorSize(width, height));
    EXPECT_EQ(width, 213);
    EXPECT_EQ(height, 326);
    ASSERT_TRUE(Open());
    EXPECT_EQ(host_->Children(host_->Parent()).size(), 1u);
    EXPECT_TRUE(ScreenAsHeadless("")) << "the editor as opened";
    if (!mg::test::HaveProgram("xdotool")) {
        if (mg::test::InCi()) FAIL() << "CI must run the X11 tests: no xdotool";
        GTEST_SKIP() << "no xdotool";
    }

    ASSERT_TRUE(host_->PointerAt(kFootX, kFootY, {"click", "1"}));
    EXPECT_TRUE(Idle(3000ms, [&] { return !edits_.empty(); })) << "the host heard of the click";
    ASSERT_EQ(edits_.size(), 1u);
    EXPECT_EQ(edits_[0], std::make_pair(kEffect, 0.0));
    EXPECT_TRUE(ScreenAsHeadless("click 100 190")) << "the LED went out";

    plugin_->Prepare(48000.0, 64, mg::host::SampleSize::Float);
    plugin_->Resume();
    std::vector<float> left(64), right(64), out0(64), out1(64);
    for (int i = 0; i < 64; ++i) {
        left[i] = 0.3f * std::sin(0.1f * static_cast<float>(i));
        right[i] = 0.2f * std::cos(0.07f * static_cast<float>(i));
    }
    float* in[] = {left.data(), right.data()};
    float* out[] = {out0.data(), out1.data()};
    plugin_->Process(in, out, 64);
    for (int i = 0; i < 64; ++i) ASSERT_EQ(out0[i], left[i] + right[i]) << "bypassed at " << i;
    plugin_->Suspend();
    plugin_->CloseEditor();
    EXPECT_TRUE(host_->Children(host_->Parent()).empty());
}

TEST_F(X11Vst3Editor, OpeningAndClosingTwentyTimesLeavesNothingBehind)
{
    Idle(20ms);
    const int files = mg::test::OpenFileCount();
    const int threads = mg::test::ThreadCount();
    const int clients = host_->ServerClientCount();
    for (int i = 0; i < 20; ++i) {
        ASSERT_TRUE(Open()) << "round " << i;
        Idle(10ms);
        plugin_->CloseEditor();
        ASSERT_TRUE(host_->Children(host_->Parent()).empty()) << "round " << i;
    }
    EXPECT_EQ(mg::test::OpenFileCount(), files);
    EXPECT_EQ(mg::test::ThreadCount(), threads);
    EXPECT_TRUE(Idle(3000ms, [&] { return host_->ServerClientCount() == clients; }));
}
