#include <gtest/gtest.h>

#include "VstTestHost.h"
#include "core/IAudioPlugin.h"

using namespace mg::test;

TEST(HostFromName, TableOrderAndCase)
{
    using mg::IAudioPlugin;
    EXPECT_EQ(IAudioPlugin::HostFromName("Cubase 4"), 3);
    EXPECT_EQ(IAudioPlugin::HostFromName("Nuendo 3"), 4);
    EXPECT_EQ(IAudioPlugin::HostFromName("Live 8"), 9);
    EXPECT_EQ(IAudioPlugin::HostFromName("Logic 9"), 21);
    EXPECT_EQ(IAudioPlugin::HostFromName("Audition"), 17);
    EXPECT_EQ(IAudioPlugin::HostFromName("REAPER then CUBASE"), 3) << "table order, not text order";
    EXPECT_EQ(IAudioPlugin::HostFromName("Deliverance"), 9);
    EXPECT_EQ(IAudioPlugin::HostFromName(""), 0);
    EXPECT_EQ(IAudioPlugin::HostFromName(nullptr), 0);
    EXPECT_EQ(IAudioPlugin::HostFromName("Some Host"), 0);
}

class HostIdentification : public ::testing::Test {
protected:
    void SetUp() override { FakeHost::Reset(); }
    LoadedPlugin library{FIXTURE_PATH};
};

TEST_F(HostIdentification, AskedOnceAtOpen)
{
    FakeHost::product = "Cubase VST";
    Instance fx(library);
    fx.Dispatch(vst::effOpen);
    fx.Dispatch(vst::effOpen);
    EXPECT_EQ(FakeHost::Count(vst::audioMasterGetProductString), 1);
    EXPECT_EQ(FakeHost::Count(vst::audioMasterGetVendorVersion), 1);
}

TEST_F(HostIdentification, AnEmptyNameIsAnUnknownHostAndSkipsTheVersion)
{
    FakeHost::product = "";
    Instance fx(library);
    fx.Dispatch(vst::effOpen);
    fx.Dispatch(vst::effOpen);
    EXPECT_EQ(FakeHost::Count(vst::audioMasterGetProductString), 1);
    EXPECT_EQ(FakeHost::Count(vst::audioMasterGetVendorVersion), 0);
}

TEST_F(HostIdentification, AnUnterminatedNameIsReadWithinItsBuffer)
{
    FakeHost::terminateProduct = false;
    Instance fx(library);
    fx.Dispatch(vst::effOpen); // under AddressSanitizer an over-read would stop here
    EXPECT_EQ(FakeHost::Count(vst::audioMasterGetProductString), 1);
}

// The packed form, seen through a plug-in object whose host callback we control.
TEST(HostVersion, DecimalVendorVersionIsPacked)
{
    FakeHost::Reset();
    LoadedPlugin library(FIXTURE_PATH);
    for (auto [decimal, packed] : {std::pair{5020, 0x3214}, {1000, 0x0A00}, {20300, 0x20300}}) {
        FakeHost::vendorVersion = decimal;
        Instance fx(library);
        fx.Dispatch(vst::effOpen);
        auto* plugin = static_cast<mg::IAudioPlugin*>(fx->object);
        EXPECT_EQ(plugin->HostVersion(), packed) << decimal;
        EXPECT_EQ(plugin->HostId(), 0);
    }
}
