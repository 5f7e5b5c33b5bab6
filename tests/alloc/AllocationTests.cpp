// Once the host has switched the pedal (exact or HQ) on, its audio callbacks take nothing
// from the heap: not in any mode, not for blocks longer than announced, not
// for input that is no number, and not while the host moves parameters on
// another thread. Parameter sets from the host are held to the same rule,
// since hosts send them from the audio thread too.
#include <gtest/gtest.h>

#include <atomic>
#include <cmath>
#include <limits>
#include <thread>
#include <vector>

#include "CountingNew.h"
#include "MarrowGrit.h"
#include "MarrowGritHQ.h"
#include "vst/VstEntry.h"

namespace {

using mg::test::CountAllocations;

constexpr int kBlock = 512;
constexpr int kLong = kBlock * 3 + 7;

vst::intptr VST_CALL PlainHost(vst::AEffect*, vst::int32 opcode, vst::int32, vst::intptr, void*, float)
{
    return opcode == vst::audioMasterVersion ? 2400 : 0;
}

struct Mode {
    const char* name;
    float effect;
    float cabinet;
    bool hq = false;
};

class Pedal {
public:
    explicit Pedal(bool hq)
        : effect_(hq ? mg::CreateVstInstance<mg::MarrowGritHQ>(&PlainHost)
                     : mg::CreateVstInstance<mg::MarrowGrit>(&PlainHost))
    {
        Dispatch(vst::effOpen);
        Dispatch(vst::effSetSampleRate, 0, 0, nullptr, 48000.0f);
        Dispatch(vst::effSetBlockSize, 0, kBlock);
        Dispatch(vst::effMainsChanged, 0, 1);
        for (int c = 0; c < 2; ++c) {
            input_[c].resize(kLong);
            output_[c].assign(kLong, 0.0f);
            dinput_[c].resize(kLong);
            doutput_[c].assign(kLong, 0.0);
            for (int f = 0; f < kLong; ++f) {
                input_[c][static_cast<std::size_t>(f)] = 0.7f * static_cast<float>(std::sin(0.01 * f + c));
                dinput_[c][static_cast<std::size_t>(f)] = input_[c][static_cast<std::size_t>(f)];
            }
        }
    }
    ~Pedal() { Dispatch(vst::effClose); }
    Pedal(const Pedal&) = delete;
    Pedal& operator=(const Pedal&) = delete;

    vst::AEffect* get() const { return effect_; }
    void Dispatch(vst::int32 opcode, vst::int32 index = 0, vst::intptr value = 0, void* ptr = nullptr,
                  float opt = 0.0f)
    {
        effect_->dispatcher(effect_, opcode, index, value, ptr, opt);
    }
    void Set(int index, float value) { effect_->setParameter(effect_, index, value); }

    // Every callback at the announced length, one frame and more than announced.
    void ProcessAllWays()
    {
        float* in[] = {input_[0].data(), input_[1].data()};
        float* out[] = {output_[0].data(), output_[1].data()};
        double* din[] = {dinput_[0].data(), dinput_[1].data()};
        double* dout[] = {doutput_[0].data(), doutput_[1].data()};
        for (int frames : {kBlock, 1, kLong}) {
            effect_->process(effect_, in, out, frames);
            effect_->processReplacing(effect_, in, out, frames);
            effect_->processDoubleReplacing(effect_, din, dout, frames);
        }
    }

    void PoisonInput() { input_[0][3] = std::numeric_limits<float>::quiet_NaN(); }

private:
    vst::AEffect* effect_;
    std::vector<float> input_[2];
    std::vector<float> output_[2];
    std::vector<double> dinput_[2];
    std::vector<double> doutput_[2];
};

class AudioPath : public ::testing::TestWithParam<Mode> {};

TEST_P(AudioPath, ProcessingAllocatesNothing)
{
    Pedal pedal(GetParam().hq);
    pedal.Set(mg::MarrowGrit::kEffect, GetParam().effect);
    pedal.Set(mg::MarrowGrit::kCabinet, GetParam().cabinet);
    CountAllocations count;
    pedal.ProcessAllWays();
    pedal.PoisonInput(); // the path that clears filter states
    pedal.ProcessAllWays();
    EXPECT_EQ(count.Count(), 0);
}

TEST_P(AudioPath, ParameterSetsFromTheHostAllocateNothing)
{
    Pedal pedal(GetParam().hq);
    CountAllocations count;
    pedal.Set(mg::MarrowGrit::kEffect, GetParam().effect);
    pedal.Set(mg::MarrowGrit::kCabinet, GetParam().cabinet);
    for (int i = 0; i <= 20; ++i) {
        pedal.Set(mg::MarrowGrit::kLevel, static_cast<float>(i) / 20.0f);
        pedal.Set(mg::MarrowGrit::kAttack, 1.0f - static_cast<float>(i) / 20.0f);
        pedal.ProcessAllWays();
    }
    EXPECT_EQ(count.Count(), 0);
}

TEST_P(AudioPath, ProcessingAllocatesNothingWhileAnotherThreadAutomates)
{
    Pedal pedal(GetParam().hq);
    pedal.Set(mg::MarrowGrit::kEffect, GetParam().effect);
    pedal.Set(mg::MarrowGrit::kCabinet, GetParam().cabinet);
    std::atomic<bool> stop{false};
    std::atomic<long> automationAllocations{0};
    std::thread automation([&] {
        CountAllocations count;
        for (int i = 0; !stop.load(); ++i) pedal.Set(i % 4, static_cast<float>(i % 11) / 10.0f);
        automationAllocations = count.Count();
    });
    long audioAllocations = 0;
    {
        CountAllocations count;
        for (int round = 0; round < 50; ++round) pedal.ProcessAllWays();
        audioAllocations = count.Count();
    }
    stop = true;
    automation.join();
    EXPECT_EQ(audioAllocations, 0);
    EXPECT_EQ(automationAllocations.load(), 0);
}

INSTANTIATE_TEST_SUITE_P(Modes, AudioPath,
                         ::testing::Values(Mode{"Fuzz", 1.0f, 0.0f}, Mode{"FuzzAndCabinet", 1.0f, 1.0f},
                                           Mode{"Bypass", 0.0f, 1.0f}, Mode{"HqFuzz", 1.0f, 0.0f, true},
                                           Mode{"HqFuzzAndCabinet", 1.0f, 1.0f, true},
                                           Mode{"HqBypass", 0.0f, 1.0f, true}),
                         [](const ::testing::TestParamInfo<Mode>& mode) { return mode.param.name; });

// The counter itself works: a vector that grows is seen.
TEST(CountAllocations, SeesAnAllocation)
{
    CountAllocations count;
    std::vector<int>* grown = new std::vector<int>(100);
    delete grown;
    EXPECT_EQ(count.Count(), 2);
}

} // namespace
