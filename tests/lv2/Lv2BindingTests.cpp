// The pedal's LV2 instance as hosts drive it: refused at rates that are no
// rate, safe with ports connected to nothing or moved between runs, runs of
// any length rendered in slices without allocating, and control ports going
// through the parameter model only when their value changes.
#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <limits>
#include <vector>

#include <lv2/core/lv2.h>
#include <lv2/ui/ui.h>

#if defined(MG_LV2_UI_LIBRARY)
#include <dlfcn.h>
#include <cstdlib>
#endif

#include "CountingNew.h"
#include "MarrowGrit.h"
#include "MarrowGritHQ.h"
#include "PedalLv2.h"
#include "lv2/Lv2Entry.h"
#include "lv2/RunSlices.h"

namespace {

using mg::test::CountAllocations;

enum Port : uint32_t { kIn1, kIn2, kOut1, kOut2, kLevel, kAttack, kEffect, kCabinet };

const LV2_Descriptor& Descriptor()
{
    const LV2_Descriptor* descriptor = lv2_descriptor(0);
    EXPECT_NE(descriptor, nullptr);
    EXPECT_EQ(lv2_descriptor(1), nullptr);
    return *descriptor;
}

// One instance with its control ports connected to values of its own.
class Instance {
public:
    explicit Instance(double rate = 48000.0)
        : handle_(Descriptor().instantiate(&Descriptor(), rate, "", nullptr))
    {
        if (!handle_) return;
        controls_ = {0.5f, 0.5f, 1.0f, 1.0f};
        for (uint32_t i = 0; i < controls_.size(); ++i) Descriptor().connect_port(handle_, kLevel + i, &controls_[i]);
        Descriptor().activate(handle_);
    }
    ~Instance()
    {
        if (!handle_) return;
        Descriptor().deactivate(handle_);
        Descriptor().cleanup(handle_);
    }
    Instance(const Instance&) = delete;
    Instance& operator=(const Instance&) = delete;

    LV2_Handle handle() const { return handle_; }
    mg::MarrowGrit& pedal() const { return *static_cast<mg::MarrowGrit*>(static_cast<mg::ILv2Plugin*>(handle_)); }
    float& control(Port port) { return controls_[port - kLevel]; }
    void Connect(Port port, const float* data) { Descriptor().connect_port(handle_, port, const_cast<float*>(data)); }
    void Run(uint32_t frames) { Descriptor().run(handle_, frames); }

private:
    LV2_Handle handle_;
    std::array<float, 4> controls_{};
};

std::vector<float> Tone(std::size_t frames, double phase)
{
    std::vector<float> out(frames);
    for (std::size_t f = 0; f < frames; ++f) out[f] = 0.6f * static_cast<float>(std::sin(0.013 * static_cast<double>(f) + phase));
    return out;
}

TEST(Lv2Binding, RefusesRatesThatAreNoRate)
{
    for (double rate : {0.0, -48000.0, std::numeric_limits<double>::quiet_NaN(),
                        std::numeric_limits<double>::infinity()}) {
        testing::internal::CaptureStderr();
        EXPECT_EQ(Descriptor().instantiate(&Descriptor(), rate, "", nullptr), nullptr) << rate;
        EXPECT_NE(testing::internal::GetCapturedStderr().find("sample rate"), std::string::npos) << rate;
    }
    Instance instance(44100.0);
    EXPECT_NE(instance.handle(), nullptr);
}

TEST(Lv2Binding, PortsConnectedToNothingOrMovedBetweenRuns)
{
    Instance instance;
    instance.Run(256); // nothing connected but the controls
    instance.Run(0);

    // Outputs only: the inputs are silence (the pedal's hiss still plays).
    std::vector<float> out1(256, 9.0f), out2(256, 9.0f);
    instance.Connect(kOut1, out1.data());
    instance.Connect(kOut2, out2.data());
    instance.Run(256);
    for (float v : out1) ASSERT_TRUE(std::isfinite(v) && std::fabs(v) < 0.1f);
    EXPECT_EQ(out1, out2);

    // Inputs in place of the outputs, and pointers moved from run to run.
    std::vector<float> buffer = Tone(1024, 0.0);
    for (uint32_t offset : {0u, 100u, 512u}) {
        instance.Connect(kIn1, buffer.data() + offset);
        instance.Connect(kIn2, buffer.data() + offset);
        instance.Connect(kOut1, buffer.data() + offset);
        instance.Connect(kOut2, nullptr);
        instance.Run(512 - offset / 2);
    }
    for (float v : buffer) ASSERT_TRUE(std::isfinite(v));
}

// A run longer than the scratch renders in slices of it: the same as the
// host cutting the run there itself, and without a single allocation.
TEST(Lv2Binding, LongRunsRenderInSlicesWithoutAllocating)
{
    constexpr uint32_t slice = mg::ILv2Plugin::kSliceFrames;
    constexpr uint32_t frames = 2 * slice + 300;
    const std::vector<float> in1 = Tone(frames, 0.0), in2 = Tone(frames, 1.0);

    Instance whole, cut;
    std::vector<float> wholeOut1(frames), wholeOut2(frames), cutOut1(frames), cutOut2(frames);
    whole.Connect(kIn1, in1.data());
    whole.Connect(kIn2, in2.data());
    whole.Connect(kOut1, wholeOut1.data());
    whole.Connect(kOut2, wholeOut2.data());
    whole.control(kAttack) = 0.9f;
    {
        CountAllocations count;
        whole.Run(frames);
        whole.control(kCabinet) = 0.0f;
        whole.Run(0);
        EXPECT_EQ(count.Count(), 0);
    }
    cut.control(kAttack) = 0.9f;
    for (uint32_t done = 0; done < frames; done += slice) {
        cut.Connect(kIn1, in1.data() + done);
        cut.Connect(kIn2, in2.data() + done);
        cut.Connect(kOut1, cutOut1.data() + done);
        cut.Connect(kOut2, cutOut2.data() + done);
        cut.Run(std::min(slice, frames - done));
    }
    EXPECT_EQ(wholeOut1, cutOut1);
    EXPECT_EQ(wholeOut2, cutOut2);
    EXPECT_FALSE(whole.pedal().CabinetOn());
}

// The longest run a host can ask for ends, covered exactly once: a count
// of frames done that wraps at 2^32 would start over from frame 0.
TEST(Lv2Binding, TheLongestRunEndsAfterItsLastSlice)
{
    constexpr uint32_t frames = 0xFFFFFFFFu;
    uint64_t covered = 0, calls = 0;
    uint32_t end = 0;
    mg::ForEachSlice(frames, mg::ILv2Plugin::kSliceFrames, [&](uint32_t offset, uint32_t count) {
        EXPECT_EQ(offset, covered);
        covered += count;
        end = offset + count;
        ++calls;
    });
    EXPECT_EQ(covered, frames);
    EXPECT_EQ(end, frames);
    EXPECT_EQ(calls, frames / mg::ILv2Plugin::kSliceFrames + 1);
}

TEST(Lv2Binding, ControlPortsGoThroughTheParameterModel)
{
    Instance instance;
    instance.control(kLevel) = 5.0f;  // above the range: clamped
    instance.control(kEffect) = 0.3f; // a toggle steps to 0 or 1
    instance.Run(0);
    EXPECT_EQ(instance.pedal().ParameterAt(mg::MarrowGrit::kLevel)->value(), 1.0);
    EXPECT_EQ(instance.pedal().OutputGain(), 4.0);
    EXPECT_FALSE(instance.pedal().EffectOn());

    // No number: ignored, the last value stays.
    instance.control(kLevel) = std::numeric_limits<float>::quiet_NaN();
    instance.control(kEffect) = std::numeric_limits<float>::infinity();
    instance.Run(0);
    EXPECT_EQ(instance.pedal().OutputGain(), 4.0);
    EXPECT_FALSE(instance.pedal().EffectOn());

    // A port that did not change does not overrule a change made since
    // (a preset selected, say).
    instance.pedal().SetParameterFromHost(mg::MarrowGrit::kAttack, 0.25);
    instance.Run(0);
    EXPECT_EQ(instance.pedal().Attack(), 0.25);
    instance.control(kAttack) = 0.75f;
    instance.Run(0);
    EXPECT_EQ(instance.pedal().Attack(), 0.75);
}

#if defined(MG_LV2_UI_LIBRARY)
// A UI without a window to open in is refused with a word to the user, not
// a crash: no parent given, or no display to reach.
TEST(Lv2Ui, RefusedWithoutParentOrDisplay)
{
    void* library = dlopen(MG_LV2_UI_LIBRARY, RTLD_NOW | RTLD_LOCAL);
    ASSERT_NE(library, nullptr) << dlerror();
    auto entry = reinterpret_cast<const LV2UI_Descriptor* (*)(uint32_t)>(dlsym(library, "lv2ui_descriptor"));
    ASSERT_NE(entry, nullptr);
    const LV2UI_Descriptor* ui = entry(0);
    ASSERT_NE(ui, nullptr);
    auto write = [](LV2UI_Controller, uint32_t, uint32_t, uint32_t, const void*) {};
    LV2UI_Widget widget = nullptr;

    testing::internal::CaptureStderr();
    EXPECT_EQ(ui->instantiate(ui, "", "", write, nullptr, &widget, nullptr), nullptr);
    EXPECT_NE(testing::internal::GetCapturedStderr().find("no parent window"), std::string::npos);

    LV2_Feature parent{LV2_UI__parent, reinterpret_cast<void*>(std::uintptr_t{0x1234})};
    const LV2_Feature* features[] = {&parent, nullptr};
    const char* display = std::getenv("DISPLAY");
    const std::string saved = display ? display : "";
    unsetenv("DISPLAY");
    testing::internal::CaptureStderr();
    EXPECT_EQ(ui->instantiate(ui, "", "", write, nullptr, &widget, features), nullptr);
    EXPECT_NE(testing::internal::GetCapturedStderr().find("cannot open a window"), std::string::npos);
    if (display) setenv("DISPLAY", saved.c_str(), 1);
    dlclose(library);
}
#endif

} // namespace

// Marrow-Grit HQ's library: the same ports and one more, the latency it
// writes on every run, hosts' only way to learn of it.
TEST(Lv2Binding, HqReportsItsLatencyOnThePortAfterTheControls)
{
    static const mg::Lv2Descriptor hq = mg::MakeLv2Descriptor(
        mg::kPedalHqLv2Uri, [](mg::ILv2Plugin::Host host) -> mg::ILv2Plugin* { return new mg::MarrowGritHQ(host); });
    const LV2_Descriptor& d = hq.descriptor;
    LV2_Handle handle = d.instantiate(&d, 48000.0, "", nullptr);
    ASSERT_NE(handle, nullptr);
    std::array<float, 4> controls{0.5f, 0.5f, 1.0f, 1.0f};
    for (uint32_t i = 0; i < controls.size(); ++i) d.connect_port(handle, kLevel + i, &controls[i]);
    float latency = -1.0f;
    d.connect_port(handle, kCabinet + 1, &latency);
    d.activate(handle);
    d.run(handle, 0);
    EXPECT_EQ(latency, static_cast<float>(mg::kHqLatency));
    d.deactivate(handle);
    d.cleanup(handle);
}
