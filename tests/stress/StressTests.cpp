// One pedal driven from three threads at once, the way a host and a user do
// it: the audio thread renders blocks, an automation thread sets parameters
// and loads chunks and presets, and the editor thread runs redraw ticks and
// mouse gestures on the controls. Under ThreadSanitizer any unsynchronised
// access fails the run; in every build the pedal must come out of it with
// finite audio and parameters in range.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <thread>
#include <vector>

#include "EditorSession.h"
#include "MarrowGrit.h"
#include "vst/VstEntry.h"

namespace {

using Clock = std::chrono::steady_clock;

constexpr int kBlock = 256;

std::chrono::milliseconds StressTime()
{
    const char* text = std::getenv("MG_STRESS_SECONDS");
    const double seconds = text ? std::atof(text) : 3.0;
    return std::chrono::milliseconds(static_cast<long>((seconds > 0.0 ? seconds : 3.0) * 1000.0));
}

// A small deterministic generator per thread; the threads share nothing else.
struct Dice {
    unsigned state;
    unsigned Next()
    {
        state = state * 1664525u + 1013904223u;
        return state >> 8;
    }
    int Below(int n) { return static_cast<int>(Next() % static_cast<unsigned>(n)); }
    float Unit() { return static_cast<float>(Next() % 10001u) / 10000.0f; }
};

vst::intptr VST_CALL SilentHost(vst::AEffect*, vst::int32 opcode, vst::int32, vst::intptr, void*, float)
{
    return opcode == vst::audioMasterVersion ? 2400 : 0;
}

struct Counts {
    std::atomic<long> blocks{0};
    std::atomic<long> automation{0};
    std::atomic<long> ticks{0};
    std::atomic<bool> nonFinite{false};
};

void AudioThread(vst::AEffect* effect, const std::atomic<bool>& stop, Counts& counts)
{
    Dice dice{1};
    std::vector<float> l(kBlock * 3), r(kBlock * 3), outL(kBlock * 3), outR(kBlock * 3);
    std::vector<double> dl(kBlock), dr(kBlock), doutL(kBlock), doutR(kBlock);
    long phase = 0;
    while (!stop.load(std::memory_order_relaxed)) {
        for (int f = 0; f < kBlock * 3; ++f, ++phase) {
            l[static_cast<std::size_t>(f)] = 0.8f * static_cast<float>(std::sin(0.031 * static_cast<double>(phase)));
            r[static_cast<std::size_t>(f)] = (phase / 50) % 2 ? 0.5f : -0.5f;
        }
        float* in[] = {l.data(), r.data()};
        float* out[] = {outL.data(), outR.data()};
        switch (dice.Below(4)) {
        case 0:
            effect->process(effect, in, out, kBlock);
            break;
        case 1: // longer than announced: rendered in slices
            effect->processReplacing(effect, in, out, kBlock * 3);
            break;
        case 2: {
            for (int f = 0; f < kBlock; ++f) {
                dl[static_cast<std::size_t>(f)] = l[static_cast<std::size_t>(f)];
                dr[static_cast<std::size_t>(f)] = r[static_cast<std::size_t>(f)];
            }
            double* din[] = {dl.data(), dr.data()};
            double* dout[] = {doutL.data(), doutR.data()};
            effect->processDoubleReplacing(effect, din, dout, kBlock);
            for (double v : doutL)
                if (!std::isfinite(v)) counts.nonFinite = true;
            break;
        }
        default:
            effect->processReplacing(effect, in, out, 1 + dice.Below(kBlock));
            break;
        }
        for (int f = 0; f < kBlock; ++f)
            if (!std::isfinite(outL[static_cast<std::size_t>(f)])) counts.nonFinite = true;
        ++counts.blocks;
    }
}

void AutomationThread(vst::AEffect* effect, const std::atomic<bool>& stop, Counts& counts)
{
    Dice dice{2};
    std::vector<unsigned char> saved;
    while (!stop.load(std::memory_order_relaxed)) {
        switch (dice.Below(8)) {
        case 0:
        case 1:
        case 2:
            effect->setParameter(effect, dice.Below(4), dice.Unit());
            break;
        case 3: {
            void* data = nullptr;
            const vst::intptr size = effect->dispatcher(effect, vst::effGetChunk, dice.Below(2), 0, &data, 0.0f);
            if (size > 0 && data) {
                const auto* bytes = static_cast<const unsigned char*>(data);
                saved.assign(bytes, bytes + size);
            }
            break;
        }
        case 4:
            if (!saved.empty())
                effect->dispatcher(effect, vst::effSetChunk, dice.Below(2), static_cast<vst::intptr>(saved.size()),
                                   saved.data(), 0.0f);
            break;
        case 5:
            effect->dispatcher(effect, vst::effSetProgram, 0, dice.Below(16), nullptr, 0.0f);
            break;
        case 6: {
            char text[64] = {};
            effect->dispatcher(effect, vst::effGetParamDisplay, dice.Below(4), 0, text, 0.0f);
            effect->dispatcher(effect, vst::effGetProgramName, 0, 0, text, 0.0f);
            break;
        }
        default: {
            const float v = effect->getParameter(effect, dice.Below(4));
            if (!(v >= 0.0f && v <= 1.0f)) counts.nonFinite = true;
            break;
        }
        }
        ++counts.automation;
    }
}

// Knobs, the cabinet switch, the footswitch and the about badge, in editor pixels.
struct Spot {
    int x;
    int y;
};
constexpr Spot kLevelKnob{50, 118};
constexpr Spot kAttackKnob{147, 118};
constexpr Spot kCabinetSwitch{100, 70};
constexpr Spot kFootswitch{100, 190};
constexpr Spot kAboutBadge{40, 45};

void EditorThread(mg::IEditorWindow& editor, vst::AEffect* effect, const std::atomic<bool>& stop, Counts& counts)
{
    Dice dice{3};
    const mg::IMouseModifiers left{true, false, false, false, false};
    const mg::IMouseModifiers right{false, true, false, false, false};
    while (!stop.load(std::memory_order_relaxed)) {
        switch (dice.Below(7)) {
        case 0: { // a knob drag
            const Spot knob = dice.Below(2) ? kLevelKnob : kAttackKnob;
            editor.MouseDown(knob.x, knob.y, left);
            for (int step = 0; step < 5; ++step) editor.MouseDrag(knob.x, knob.y - 4 * step + dice.Below(9), left);
            editor.MouseUp(knob.x, knob.y, left);
            break;
        }
        case 1: { // a stomp on the footswitch, seen by the next tick
            editor.MouseDown(kFootswitch.x, kFootswitch.y, left);
            editor.RedrawTick();
            editor.MouseUp(kFootswitch.x, kFootswitch.y, left);
            break;
        }
        case 2:
            editor.MouseDown(kCabinetSwitch.x, kCabinetSwitch.y, left);
            editor.MouseUp(kCabinetSwitch.x, kCabinetSwitch.y, left);
            break;
        case 3: { // the value box: open on a knob, let the ticks refresh it, type, commit
            editor.MouseDown(kAttackKnob.x, kAttackKnob.y, right);
            editor.MouseUp(kAttackKnob.x, kAttackKnob.y, right);
            editor.RedrawTick();
            editor.RedrawTick();
            editor.TypeInPrompt(dice.Below(2) ? "0.25" : "0.9");
            editor.CommitPrompt();
            editor.RedrawTick();
            break;
        }
        case 4:
            editor.MouseWheel(kLevelKnob.x, kLevelKnob.y, left, dice.Below(5) - 2);
            editor.MouseDown(kAboutBadge.x, kAboutBadge.y, left);
            editor.MouseUp(kAboutBadge.x, kAboutBadge.y, left);
            break;
        case 5: { // requests a host sends from its user-interface thread
            vst::ERect* rect = nullptr;
            effect->dispatcher(effect, vst::effEditGetRect, 0, 0, &rect, 0.0f);
            effect->dispatcher(effect, vst::effEditIdle, 0, 0, nullptr, 0.0f);
            break;
        }
        default:
            editor.RedrawTick();
            break;
        }
        editor.RedrawTick();
        ++counts.ticks;
    }
}

TEST(Stress, AudioAutomationAndEditorRunTogether)
{
    mg::snapshot::EditorSession session;
    vst::AEffect* effect = session.Effect();
    effect->dispatcher(effect, vst::effOpen, 0, 0, nullptr, 0.0f);
    effect->dispatcher(effect, vst::effSetSampleRate, 0, 0, nullptr, 48000.0f);
    effect->dispatcher(effect, vst::effSetBlockSize, 0, kBlock, nullptr, 0.0f);
    effect->dispatcher(effect, vst::effMainsChanged, 0, 1, nullptr, 0.0f);
    session.Editor().MarkAllControlsDirty();
    session.Editor().RedrawTick();

    Counts counts;
    std::atomic<bool> stop{false};
    std::thread audio(AudioThread, effect, std::cref(stop), std::ref(counts));
    std::thread automation(AutomationThread, effect, std::cref(stop), std::ref(counts));
    std::thread editor(EditorThread, std::ref(session.Editor()), effect, std::cref(stop), std::ref(counts));
    std::this_thread::sleep_for(StressTime());
    stop = true;
    audio.join();
    automation.join();
    editor.join();

    EXPECT_FALSE(counts.nonFinite.load()) << "output or a parameter was no number";
    EXPECT_GT(counts.blocks.load(), 10);
    EXPECT_GT(counts.automation.load(), 10);
    EXPECT_GT(counts.ticks.load(), 10);
    for (int i = 0; i < effect->numParams; ++i) {
        const float v = effect->getParameter(effect, i);
        EXPECT_TRUE(v >= 0.0f && v <= 1.0f) << i;
    }
    // Quiet again: one more tick settles the editor, and a block is finite.
    session.Editor().RedrawTick();
    std::vector<float> in(kBlock, 0.5f), out(kBlock, 0.0f);
    float* ins[] = {in.data(), in.data()};
    float* outs[] = {out.data(), out.data()};
    effect->processReplacing(effect, ins, outs, kBlock);
    for (float v : out) ASSERT_TRUE(std::isfinite(v));
    std::printf("blocks %ld, automation %ld, editor rounds %ld\n", counts.blocks.load(), counts.automation.load(),
                counts.ticks.load());
}

// Instances made and closed on two threads at once share the process-wide
// parts: the creation lock, the image cache and the noise generator.
TEST(Stress, InstancesComeAndGoOnTwoThreads)
{
    const auto until = Clock::now() + StressTime() / 3;
    std::atomic<long> made{0};
    auto churn = [&] {
        std::vector<float> buffer(kBlock, 0.25f);
        float* io[] = {buffer.data(), buffer.data()};
        while (Clock::now() < until) {
            vst::AEffect* effect = mg::CreateVstInstance<mg::MarrowGrit>(&SilentHost);
            ASSERT_NE(effect, nullptr);
            effect->dispatcher(effect, vst::effOpen, 0, 0, nullptr, 0.0f);
            effect->dispatcher(effect, vst::effSetSampleRate, 0, 0, nullptr, 44100.0f);
            effect->dispatcher(effect, vst::effMainsChanged, 0, 1, nullptr, 0.0f);
            effect->processReplacing(effect, io, io, kBlock);
            effect->dispatcher(effect, vst::effMainsChanged, 0, 0, nullptr, 0.0f);
            effect->dispatcher(effect, vst::effClose, 0, 0, nullptr, 0.0f);
            ++made;
        }
    };
    std::thread a(churn);
    std::thread b(churn);
    a.join();
    b.join();
    EXPECT_GT(made.load(), 2);
}

} // namespace
