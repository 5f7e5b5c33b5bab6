#include <gtest/gtest.h>

#include <vector>

#include "TestPlugin.h"
#include "editor/IGraphics.h"

using mg::test::TestPlugin;

namespace {

void InitTwoParameters(TestPlugin& p)
{
    p.ParameterAt(0)->InitContinuous("Level", 0.5, 0.0, 1.0, 0.001, "");
    p.ParameterAt(1)->InitChoice("Effect", 1, 2);
}

} // namespace

TEST(PluginBase, ChannelStringAndLegalIO)
{
    TestPlugin p(0, "1-1 2-2", 0);
    ASSERT_EQ(p.ChannelPairCount(), 2);
    EXPECT_EQ(p.ChannelPairAt(1).inputs, 2);
    EXPECT_EQ(p.InputChannelCount(), 2);
    EXPECT_EQ(p.OutputChannelCount(), 2);
    EXPECT_TRUE(p.LegalIO(2, 2));
    EXPECT_TRUE(p.LegalIO(1, -1));
    EXPECT_TRUE(p.LegalIO(-1, -1));
    EXPECT_FALSE(p.LegalIO(1, 2));
    EXPECT_FALSE(p.LegalIO(3, -1));

    TestPlugin uneven(0, "0-2 1-1 2-4", 0); // largest counts across all pairs
    EXPECT_EQ(uneven.InputChannelCount(), 2);
    EXPECT_EQ(uneven.OutputChannelCount(), 4);

    TestPlugin none(0, nullptr, 0);
    EXPECT_EQ(none.ChannelPairCount(), 0);
    EXPECT_EQ(none.InputChannelCount(), 0);
    EXPECT_FALSE(none.LegalIO(-1, -1));
}

TEST(PluginBaseDeath, UnreadableChannelStringStopsTheProcess)
{
    EXPECT_DEATH(TestPlugin(0, "1-1 ", 0), "sscanf\\(channelIOStr, \"%d-%d\", &nIn, &nOut\\) == 2");
    EXPECT_DEATH(TestPlugin(0, "stereo", 0), "Assertion failed");
}

TEST(PluginBase, FreshStateAndIdentity)
{
    TestPlugin p;
    EXPECT_EQ(p.SampleRate(), 44100.0);
    EXPECT_EQ(p.BlockLength(), 0);
    EXPECT_EQ(p.HostId(), -1);
    EXPECT_EQ(p.CurrentPreset(), 0);
    EXPECT_EQ(p.EffectVersion(false), 0x10203);
    EXPECT_EQ(p.EffectVersion(true), 10203);
    EXPECT_EQ(p.UniqueId(), 0x74737431);
    EXPECT_STREQ(p.EffectName(), "Test");
    EXPECT_EQ(p.ParameterAt(-1), nullptr);
    EXPECT_EQ(p.ParameterAt(2), nullptr);
}

TEST(PluginBase, EditorChangesTellTheHostTheUnroundedValue)
{
    TestPlugin p(2);
    InitTwoParameters(p);
    p.SetParameterFromGUI(1, 0.6);
    EXPECT_EQ(p.ParameterAt(1)->value(), 1.0);
    ASSERT_EQ(p.automated.size(), 1u);
    EXPECT_EQ(p.automated[0].index, 1);
    EXPECT_EQ(p.automated[0].value, 0.6);
    EXPECT_EQ(p.changes, std::vector<int>{1});

    p.SetParameterFromGUI(9, 0.5); // no such parameter: nothing at all
    EXPECT_EQ(p.automated.size(), 1u);

    p.changes.clear();
    p.ChangeAllParameters();
    EXPECT_EQ(p.changes, (std::vector<int>{0, 1}));
}

TEST(PluginBase, DefaultProcessPassesInputsThroughAndSilencesTheRest)
{
    TestPlugin p(0, "1-3", 0);
    double in0[4] = {1, 2, 3, 4};
    double out[3][4];
    for (auto& row : out)
        for (double& v : row) v = 9;
    double* ins[] = {in0};
    double* outs[] = {out[0], out[1], out[2]};
    p.ProcessBlock(ins, outs, 4);
    EXPECT_EQ(out[0][3], 4.0);
    EXPECT_EQ(out[1][0], 0.0);
    EXPECT_EQ(out[2][3], 0.0);
}

TEST(PluginBase, BlockLengthResizesAndClearsScratchOnlyOnChange)
{
    TestPlugin p;
    p.ConnectInputChannels(0, 2, true);
    p.ConnectOutputChannels(0, 2, true);
    p.SetBlockLength(8);
    EXPECT_EQ(p.BlockLength(), 8);
    p.SetBlockLength(-3);
    EXPECT_EQ(p.BlockLength(), 0);
}

namespace {

class CountingGraphics : public mg::IGraphics {
public:
    CountingGraphics(mg::IAudioPlugin* owner, int* surfaces, int* destroyed)
        : IGraphics(owner, 213, 326, 0), surfaces_(surfaces), destroyed_(destroyed)
    {
    }
    ~CountingGraphics() override { ++*destroyed_; }
    bool CreateDrawSurface() override
    {
        ++*surfaces_;
        return true;
    }

private:
    int* surfaces_;
    int* destroyed_;
};

} // namespace

TEST(PluginBase, AttachedEditorIsOwnedAndGetsItsSurface)
{
    int surfaces = 0;
    int destroyed = 0;
    {
        TestPlugin p(2);
    InitTwoParameters(p);
        p.AttachEditorGraphics(new CountingGraphics(&p, &surfaces, &destroyed));
        ASSERT_NE(p.EditorGraphics(), nullptr);
        EXPECT_EQ(p.EditorGraphics()->Width(), 213);
        EXPECT_EQ(p.EditorGraphics()->FrameRate(), 24);
        EXPECT_EQ(surfaces, 1);

        mg::IGraphics* attached = p.EditorGraphics();
        p.AttachEditorGraphics(nullptr); // keeps the one attached
        EXPECT_EQ(p.EditorGraphics(), attached);
        EXPECT_EQ(destroyed, 0);
    }
    EXPECT_EQ(destroyed, 1);
}
