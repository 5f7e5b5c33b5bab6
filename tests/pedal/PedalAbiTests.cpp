// The pedal as a host sees it: loaded from its library, driven through the ABI.
#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "VstTestHost.h"

using namespace mg::test;

class PedalAbi : public ::testing::Test {
protected:
    void SetUp() override
    {
        FakeHost::Reset();
        ASSERT_TRUE(library.Loaded());
        fx.Dispatch(vst::effOpen);
        fx.Dispatch(vst::effSetSampleRate, 0, 0, nullptr, 44100.0f);
        fx.Dispatch(vst::effSetBlockSize, 0, 256);
        fx.Dispatch(vst::effMainsChanged, 0, 1);
    }
    float Get(int i) { return fx->getParameter(fx.get(), i); }

    LoadedPlugin library{PEDAL_PATH};
    Instance fx{library};
};

TEST_F(PedalAbi, Identity)
{
    EXPECT_EQ(fx->numPrograms, 16);
    EXPECT_EQ(fx->numParams, 4);
    EXPECT_EQ(fx->numInputs, 2);
    EXPECT_EQ(fx->numOutputs, 2);
    EXPECT_EQ(fx->version, 20300);
    EXPECT_EQ(fx->uniqueID, 0x6B627137) << "kbq7";
    EXPECT_EQ(fx->flags & 0x1018, 0x1018);
    EXPECT_EQ(fx.Text(vst::effGetEffectName), "Marrow-Grit[M]");
    EXPECT_EQ(fx.Text(vst::effGetVendorString), "tonewrights");
    EXPECT_EQ(fx.Text(vst::effGetProductString), "");
}

TEST_F(PedalAbi, ParametersAndTheirTexts)
{
    const char* names[] = {"Level", "Attack", "Effect", "Cabinet"};
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(fx.Text(vst::effGetParamName, i), names[i]);
        EXPECT_EQ(fx.Text(vst::effGetParamLabel, i), "");
    }
    EXPECT_EQ(fx.Text(vst::effGetParamDisplay, 0), "0.500");
    EXPECT_EQ(fx.Text(vst::effGetParamDisplay, 2), "On");
    fx->setParameter(fx.get(), 3, 0.0f);
    EXPECT_EQ(fx.Text(vst::effGetParamDisplay, 3), "Off");
    fx->setParameter(fx.get(), 1, 0.0f);
    EXPECT_EQ(fx.Text(vst::effGetParamDisplay, 1), "0");
}

TEST_F(PedalAbi, SixteenInitPresetsAndTheLoudFirstOne)
{
    for (int i = 0; i < 16; ++i) EXPECT_EQ(fx.Text(vst::effGetProgramNameIndexed, i), "Init");
    EXPECT_FLOAT_EQ(Get(0), 0.5f) << "a new instance runs with the defaults";
    fx.Dispatch(vst::effSetProgram, 0, 0);
    EXPECT_FLOAT_EQ(Get(0), 1.0f);
    fx.Dispatch(vst::effSetProgram, 0, 5);
    EXPECT_FLOAT_EQ(Get(0), 0.5f);
    fx.Dispatch(vst::effSetProgram, 0, 0);
    EXPECT_FLOAT_EQ(Get(0), 1.0f);
}

TEST_F(PedalAbi, EveryCallbackInEveryChannelConfiguration)
{
    const int n = 256;
    std::vector<float> a(n), b(n), o0(n), o1(n);
    for (int i = 0; i < n; ++i) {
        a[i] = 0.3f * std::sin(0.05f * static_cast<float>(i));
        b[i] = 0.1f * std::cos(0.02f * static_cast<float>(i));
    }
    float* ins[] = {a.data(), b.data()};
    float* outs[] = {o0.data(), o1.data()};
    fx->processReplacing(fx.get(), ins, outs, n);
    EXPECT_EQ(o0, o1);
    bool moved = false;
    for (float v : o0) {
        ASSERT_TRUE(std::isfinite(v));
        moved = moved || v != 0.0f;
    }
    EXPECT_TRUE(moved);

    // Bypass: the exact sum, as float, in stereo and in mono.
    fx->setParameter(fx.get(), 2, 0.0f);
    fx->processReplacing(fx.get(), ins, outs, n);
    for (int i = 0; i < n; ++i)
        ASSERT_EQ(o0[i], static_cast<float>(static_cast<double>(b[i]) + static_cast<double>(a[i])));
    vst::VstSpeakerArrangement mono{};
    mono.numChannels = 1;
    fx.Dispatch(vst::effSetSpeakerArrangement, 0, reinterpret_cast<vst::intptr>(&mono), nullptr);
    fx.Dispatch(vst::effSetBlockSize, 0, 512);
    float* monoIn[] = {a.data()};
    fx->processReplacing(fx.get(), monoIn, outs, n);
    for (int i = 0; i < n; ++i) ASSERT_EQ(o0[i], a[i]);
    EXPECT_EQ(o0, o1);

    std::vector<double> d(n, 0.25), d0(n), d1(n);
    double* dins[] = {d.data()};
    double* douts[] = {d0.data(), d1.data()};
    fx->processDoubleReplacing(fx.get(), dins, douts, n);
    EXPECT_EQ(d0[17], 0.25);
    EXPECT_EQ(d1[17], 0.25);

    std::vector<float> acc0(n, 1.0f), acc1(n, 1.0f);
    float* accs[] = {acc0.data(), acc1.data()};
    fx->process(fx.get(), monoIn, accs, n);
    EXPECT_EQ(acc0[3], 1.0f + a[3]);
}

TEST_F(PedalAbi, StateRestoresTheSameSoundInAFreshInstance)
{
    fx->setParameter(fx.get(), 0, 0.8f);
    fx->setParameter(fx.get(), 1, 0.9f);
    fx->setParameter(fx.get(), 3, 0.0f);
    void* data = nullptr;
    const auto size = fx.Dispatch(vst::effGetChunk, 0, 0, &data);
    ASSERT_EQ(size, 40);
    std::vector<unsigned char> state(static_cast<unsigned char*>(data), static_cast<unsigned char*>(data) + size);

    Instance other(library);
    other.Dispatch(vst::effOpen);
    EXPECT_EQ(other.Dispatch(vst::effSetChunk, 0, size, state.data()), 1);
    for (int i = 0; i < 4; ++i) EXPECT_EQ(other->getParameter(other.get(), i), Get(i));
}
