#include <gtest/gtest.h>

#include <dlfcn.h>

#include "VstTestHost.h"

using namespace mg::test;

class Descriptor : public ::testing::Test {
protected:
    void SetUp() override { FakeHost::Reset(); }
    LoadedPlugin library{FIXTURE_PATH};
};

TEST_F(Descriptor, FreshInstanceDescribesItself)
{
    ASSERT_TRUE(library.Loaded()) << dlerror();
    Instance fx(library);
    ASSERT_NE(fx.get(), nullptr);
    EXPECT_EQ(fx->magic, vst::kEffectMagic);
    EXPECT_EQ(fx->numPrograms, 3);
    EXPECT_EQ(fx->numParams, 2);
    EXPECT_EQ(fx->numInputs, 2);
    EXPECT_EQ(fx->numOutputs, 2);
    EXPECT_EQ(fx->flags, 0x1018) << "replacing, double, can-mono; no editor";
    EXPECT_EQ(fx->version, 10203);
    EXPECT_EQ(fx->uniqueID, 0x6678476E);
    EXPECT_EQ(fx->initialDelay, 0);
    EXPECT_EQ(fx->ioRatio, 1.0f);
    EXPECT_EQ(fx->resvd1, 0);
    EXPECT_EQ(fx->user, nullptr);
    EXPECT_NE(fx->object, nullptr);
    EXPECT_NE(fx->process, nullptr);
    EXPECT_NE(fx->processReplacing, nullptr);
    EXPECT_NE(fx->processDoubleReplacing, nullptr);
    for (char c : fx->future) EXPECT_EQ(c, 0);
    EXPECT_TRUE(FakeHost::calls.empty()) << "construction asks the host nothing";
}

TEST_F(Descriptor, BothEntryNamesCreateIndependentInstances)
{
    vst::EntryProc mainEntry = library.Entry("main");
    ASSERT_NE(mainEntry, nullptr);
    vst::AEffect* a = library.Entry()(&FakeHost::Callback);
    vst::AEffect* b = mainEntry(&FakeHost::Callback);
    ASSERT_NE(a, nullptr);
    ASSERT_NE(b, nullptr);
    EXPECT_NE(a, b);
    EXPECT_NE(a->object, b->object);
    a->dispatcher(a, vst::effClose, 0, 0, nullptr, 0);
    b->dispatcher(b, vst::effClose, 0, 0, nullptr, 0);
}

TEST_F(Descriptor, ANullObjectAnswersNothing)
{
    Instance fx(library);
    void* object = fx->object;
    fx->object = nullptr;
    EXPECT_EQ(fx.Dispatch(vst::effGetVstVersion), 0);
    EXPECT_EQ(fx->getParameter(fx.get(), 0), 0.0f);
    fx->setParameter(fx.get(), 0, 0.5f);
    float buffer[4] = {};
    float* io[] = {buffer, buffer};
    fx->processReplacing(fx.get(), io, io, 4);
    fx->object = object;
}
