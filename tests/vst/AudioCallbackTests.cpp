#include <gtest/gtest.h>

#include <vector>

#include "VstTestHost.h"
#include "core/IAudioPlugin.h"

using namespace mg::test;

class AudioCallbacks : public ::testing::Test {
protected:
    void SetUp() override
    {
        FakeHost::Reset();
        fx.Dispatch(vst::effOpen);
        fx.Dispatch(vst::effSetSampleRate, 0, 0, nullptr, 48000.0f);
        fx.Dispatch(vst::effSetBlockSize, 0, kBlock);
        fx.Dispatch(vst::effMainsChanged, 0, 1);
        fx->setParameter(fx.get(), 0, 0.25f); // gain 0.5
    }
    static constexpr int kBlock = 64;
    LoadedPlugin library{FIXTURE_PATH};
    Instance fx{library};
};

TEST_F(AudioCallbacks, ReplacingFloatRoundsTheEffectsDoubleOutput)
{
    std::vector<float> in0(kBlock, 0.3f), in1(kBlock, -0.7f), out0(kBlock, 9.0f), out1(kBlock, 9.0f);
    float* ins[] = {in0.data(), in1.data()};
    float* outs[] = {out0.data(), out1.data()};
    fx->processReplacing(fx.get(), ins, outs, kBlock);
    EXPECT_EQ(out0[0], static_cast<float>(static_cast<double>(0.3f) * 0.5));
    EXPECT_EQ(out1[kBlock - 1], static_cast<float>(static_cast<double>(-0.7f) * 0.5));
}

TEST_F(AudioCallbacks, AccumulatingAddsIntoTheHostsBuffers)
{
    std::vector<float> in(kBlock, 1.0f), out0(kBlock, 0.25f), out1(kBlock, 0.25f);
    float* ins[] = {in.data(), in.data()};
    float* outs[] = {out0.data(), out1.data()};
    fx->process(fx.get(), ins, outs, kBlock);
    EXPECT_EQ(out0[5], 0.75f);
    EXPECT_EQ(out1[kBlock - 1], 0.75f);
}

TEST_F(AudioCallbacks, DoubleReplacingWritesTheHostsBuffersInPlace)
{
    std::vector<double> in(kBlock, 0.8), out0(kBlock), out1(kBlock);
    double* ins[] = {in.data(), in.data()};
    double* outs[] = {out0.data(), out1.data()};
    fx->processDoubleReplacing(fx.get(), ins, outs, kBlock);
    EXPECT_EQ(out0[7], 0.4);
    EXPECT_EQ(out1[7], 0.4);

    // In place, as some hosts do it.
    fx->processDoubleReplacing(fx.get(), outs, outs, kBlock);
    EXPECT_EQ(out0[7], 0.2);
}

TEST_F(AudioCallbacks, ADisconnectedInputReadsSilenceAndTakesNoHostBuffer)
{
    vst::VstSpeakerArrangement mono{};
    mono.numChannels = 1;
    fx.Dispatch(vst::effSetSpeakerArrangement, 0, reinterpret_cast<vst::intptr>(&mono), nullptr);
    fx.Dispatch(vst::effSetBlockSize, 0, kBlock * 2); // a new size clears the scratch
    std::vector<float> in(kBlock, 1.0f), out0(kBlock, 9.0f), out1(kBlock, 9.0f);
    float* ins[] = {in.data()}; // a mono host passes one input buffer
    float* outs[] = {out0.data(), out1.data()};
    fx->processReplacing(fx.get(), ins, outs, kBlock);
    EXPECT_EQ(out0[0], 0.5f);
    EXPECT_EQ(out1[0], 0.0f);

    std::vector<double> din(kBlock, 1.0), dout0(kBlock, 9.0), dout1(kBlock, 9.0);
    double* dins[] = {din.data()};
    double* douts[] = {dout0.data(), dout1.data()};
    fx->processDoubleReplacing(fx.get(), dins, douts, kBlock);
    EXPECT_EQ(dout0[kBlock - 1], 0.5);
    EXPECT_EQ(dout1[kBlock - 1], 0.0);
}

TEST_F(AudioCallbacks, AnInputDisconnectedMidStreamIsSilentNotItsLastBlock)
{
    std::vector<float> loud(kBlock, 1.0f), out0(kBlock), out1(kBlock);
    float* ins[] = {loud.data(), loud.data()};
    float* outs[] = {out0.data(), out1.data()};
    fx->processReplacing(fx.get(), ins, outs, kBlock);
    ASSERT_EQ(out1[0], 0.5f);

    vst::VstSpeakerArrangement mono{};
    mono.numChannels = 1;
    fx.Dispatch(vst::effSetSpeakerArrangement, 0, reinterpret_cast<vst::intptr>(&mono), nullptr);
    float* monoIns[] = {loud.data()};
    fx->processReplacing(fx.get(), monoIns, outs, kBlock);
    EXPECT_EQ(out0[0], 0.5f);
    EXPECT_EQ(out1[0], 0.0f); // not the 1.0 it carried before
    EXPECT_EQ(out1[kBlock - 1], 0.0f);
}

TEST_F(AudioCallbacks, MoreFramesThanAnnouncedAreRenderedInSlices)
{
    const int frames = kBlock * 3 + 5;
    std::vector<float> in(frames), out0(frames, 9.0f), out1(frames, 9.0f);
    for (int i = 0; i < frames; ++i) in[i] = static_cast<float>(i);
    float* ins[] = {in.data(), in.data()};
    float* outs[] = {out0.data(), out1.data()};
    fx->processReplacing(fx.get(), ins, outs, frames);
    for (int i = 0; i < frames; ++i) ASSERT_EQ(out0[i], static_cast<float>(i) * 0.5f) << i;

    std::vector<double> din(frames, 2.0), dout(frames);
    double* dins[] = {din.data(), din.data()};
    double* douts[] = {dout.data(), dout.data()};
    fx->processDoubleReplacing(fx.get(), dins, douts, frames);
    EXPECT_EQ(dout[frames - 1], 1.0);

    std::vector<float> acc(frames, 1.0f);
    float* accs[] = {acc.data(), acc.data()};
    fx->process(fx.get(), ins, accs, frames); // both outputs add into one buffer here
    EXPECT_EQ(acc[frames - 1], 1.0f + 2 * static_cast<float>(frames - 1) * 0.5f);
}

TEST_F(AudioCallbacks, LongBlocksOfAMonoHostReadOnlyTheBuffersItPassed)
{
    vst::VstSpeakerArrangement mono{};
    mono.numChannels = 1;
    fx.Dispatch(vst::effSetSpeakerArrangement, 0, reinterpret_cast<vst::intptr>(&mono), &mono);
    const int frames = kBlock * 2 + 3;
    std::vector<float> in(frames, 1.0f), out(frames, 9.0f);
    // Arrays of exactly one pointer each, on the heap, so a read past them is caught.
    std::vector<float*> ins{in.data()};
    std::vector<float*> outs{out.data()};
    fx->processReplacing(fx.get(), ins.data(), outs.data(), frames);
    EXPECT_EQ(out[0], 0.5f);
    EXPECT_EQ(out[frames - 1], 0.5f);

    std::vector<double> din(frames, 1.0), dout(frames, 9.0);
    std::vector<double*> dins{din.data()};
    std::vector<double*> douts{dout.data()};
    fx->processDoubleReplacing(fx.get(), dins.data(), douts.data(), frames);
    EXPECT_EQ(dout[frames - 1], 0.5);
}

TEST_F(AudioCallbacks, ABlockSizeOfZeroGivesAMonoHostSilenceInItsOwnBuffersOnly)
{
    vst::VstSpeakerArrangement mono{};
    mono.numChannels = 1;
    fx.Dispatch(vst::effSetSpeakerArrangement, 0, reinterpret_cast<vst::intptr>(&mono), &mono);
    fx.Dispatch(vst::effSetBlockSize, 0, 0);
    std::vector<double> in(kBlock, 1.0), out(kBlock, 9.0);
    std::vector<double*> ins{in.data()}; // exactly one pointer each, on the heap
    std::vector<double*> outs{out.data()};
    fx->processDoubleReplacing(fx.get(), ins.data(), outs.data(), kBlock);
    EXPECT_EQ(out[0], 0.0);
    EXPECT_EQ(out[kBlock - 1], 0.0);
}

TEST_F(AudioCallbacks, EmptyBlocksTouchNothing)
{
    float keep = 3.0f;
    float* outs[] = {&keep, &keep};
    fx->processReplacing(fx.get(), outs, outs, 0);
    fx->processReplacing(fx.get(), outs, outs, -4);
    EXPECT_EQ(keep, 3.0f);
}

TEST_F(AudioCallbacks, TimeRequestsReadTheHostsAnswer)
{
    auto* plugin = static_cast<mg::IAudioPlugin*>(fx->object);
    FakeHost::time.samplePos = 4410.7;
    FakeHost::time.tempo = 133.0;
    FakeHost::time.timeSigNumerator = 7;
    FakeHost::time.timeSigDenominator = 8;
    FakeHost::time.flags = vst::kVstTempoValid;
    EXPECT_EQ(plugin->HostSamplePosition(), 4410);
    EXPECT_EQ(plugin->HostTempo(), 133.0);
    int n = -1, d = -1;
    plugin->HostTimeSignature(&n, &d);
    EXPECT_EQ(n, 0) << "no time signature without its valid flag";
    FakeHost::time.flags |= vst::kVstTimeSigValid;
    plugin->HostTimeSignature(&n, &d);
    EXPECT_EQ(n, 7);
    EXPECT_EQ(d, 8);

    FakeHost::time.samplePos = -10;
    EXPECT_EQ(plugin->HostSamplePosition(), 0);
    FakeHost::answerTime = false;
    EXPECT_EQ(plugin->HostTempo(), 0.0);
    EXPECT_EQ(plugin->HostSamplePosition(), 0);
}

TEST_F(AudioCallbacks, MidiOutReportsTheHostsAnswers)
{
    auto* plugin = static_cast<mg::IAudioPlugin*>(fx->object);
    const mg::MidiMessage messages[] = {{5, 0x90, 64, 90, 0}, {9, 0x80, 64, 0, 0}};
    EXPECT_TRUE(plugin->SendMidiMessages(messages));
    ASSERT_EQ(FakeHost::midiSent.size(), 2u);
    EXPECT_EQ(FakeHost::midiSent[1].deltaFrames, 9);
    FakeHost::eventsAnswer = 0;
    EXPECT_FALSE(plugin->SendMidiMessages(messages));
    EXPECT_EQ(FakeHost::midiSent.size(), 4u) << "every message is sent, also after a failure";
    EXPECT_TRUE(plugin->SendMidiMessages({}));
}
