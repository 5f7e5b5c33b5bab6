#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>
#include <string>
#include <vector>

#include "TestPlugin.h"

using mg::IAudioPlugin;
using mg::IByteChunk;
using mg::test::TestPlugin;

namespace {

// Four parameters shaped like the pedal's: two knobs and two switches.
void InitPedalLike(TestPlugin& p)
{
    p.ParameterAt(0)->InitContinuous("Level", 0.5, 0.0, 1.0, 0.001, "");
    p.ParameterAt(1)->InitContinuous("Attack", 0.5, 0.0, 1.0, 0.001, "");
    p.ParameterAt(2)->InitChoice("Effect", 1, 2);
    p.ParameterAt(3)->InitChoice("Cabinet", 1, 2);
}

std::vector<double> Values(const TestPlugin& p)
{
    std::vector<double> v;
    for (int i = 0; i < p.ParameterCount(); ++i) v.push_back(p.ParameterAt(i)->value());
    return v;
}

IByteChunk ChunkOf(std::initializer_list<double> values, bool header)
{
    IByteChunk c;
    if (header) IAudioPlugin::WriteChunkHeader(c);
    for (double v : values) c.PutDouble(v);
    return c;
}

} // namespace

TEST(Chunk, LittleEndianLayoutAndBoundedReads)
{
    IByteChunk c;
    IAudioPlugin::WriteChunkHeader(c);
    c.PutDouble(1.0);
    ASSERT_EQ(c.Size(), 16);
    const unsigned char expected[16] = {0x74, 0x66, 0x66, 0x70, 0, 0, 1, 0, 0, 0, 0, 0, 0, 0, 0xF0, 0x3F};
    EXPECT_EQ(std::memcmp(c.Data(), expected, 16), 0);

    double d = 7;
    EXPECT_FALSE(c.ReadDouble(9, d));
    EXPECT_FALSE(c.ReadDouble(-1, d));
    EXPECT_EQ(d, 7.0);
    EXPECT_TRUE(c.ReadDouble(8, d));
    EXPECT_EQ(d, 1.0);

    EXPECT_TRUE(c.Resize(20));
    EXPECT_EQ(c.Data()[19], 0);
    EXPECT_FALSE(c.Resize(-1));
    EXPECT_EQ(c.Size(), 20);
}

TEST(Chunk, HeaderReading)
{
    int pos = 0;
    EXPECT_EQ(IAudioPlugin::ReadChunkHeader(ChunkOf({0.5}, true), pos), 0x10000u);
    EXPECT_EQ(pos, 8);

    pos = 0; // no magic: read from the start
    EXPECT_EQ(IAudioPlugin::ReadChunkHeader(ChunkOf({0.5}, false), pos), 0u);
    EXPECT_EQ(pos, 0);

    IByteChunk cut;
    cut.PutUInt32(IAudioPlugin::kChunkMagic);
    cut.PutUInt32(0); // ...then cut the version short
    cut.Resize(6);
    pos = 0;
    EXPECT_EQ(IAudioPlugin::ReadChunkHeader(cut, pos), 0u);
    EXPECT_EQ(pos, -1);

    IByteChunk tiny;
    tiny.Resize(2);
    pos = 0;
    EXPECT_EQ(IAudioPlugin::ReadChunkHeader(tiny, pos), 0u);
    EXPECT_EQ(pos, 0);
}

TEST(StateLoad, FullShortAndOutOfRangeData)
{
    TestPlugin p(4);
    InitPedalLike(p);

    IByteChunk full = ChunkOf({0.25, 7.0, 0.0, 1.0}, false);
    p.changes.clear();
    EXPECT_EQ(p.UnserializeParams(full, 0), 32);
    EXPECT_EQ(Values(p), (std::vector<double>{0.25, 1.0, 0.0, 1.0})) << "out of range clamps";
    EXPECT_EQ(p.changes, (std::vector<int>{0, 1, 2, 3}));

    // Header plus 12 bytes: parameter 0 loads, parameter 1 becomes 0.0, the rest keep.
    IByteChunk shortChunk = ChunkOf({0.75}, true);
    shortChunk.PutUInt32(0);
    int pos = 0;
    IAudioPlugin::ReadChunkHeader(shortChunk, pos);
    p.changes.clear();
    EXPECT_EQ(p.UnserializeParams(shortChunk, pos), -1);
    EXPECT_EQ(Values(p), (std::vector<double>{0.75, 0.0, 0.0, 1.0}));
    EXPECT_EQ(p.changes.size(), 4u) << "the handler runs for every parameter";

    // Stored values that are no number load like missing ones, and reading goes on.
    IByteChunk poisoned = ChunkOf({std::numeric_limits<double>::quiet_NaN(), 0.5,
                                   -std::numeric_limits<double>::infinity(), 1.0}, false);
    EXPECT_EQ(p.UnserializeParams(poisoned, 0), 32);
    EXPECT_EQ(Values(p), (std::vector<double>{0.0, 0.5, 0.0, 1.0}));

    p.changes.clear();
    EXPECT_EQ(p.UnserializeParams(full, -1), -1) << "a header cut short loads nothing";
    EXPECT_EQ(Values(p), (std::vector<double>{0.0, 0.5, 0.0, 1.0}));
    EXPECT_EQ(p.changes.size(), 4u);
}

TEST(StateLoad, SerialiseRoundTrip)
{
    TestPlugin a(4), b(4);
    InitPedalLike(a);
    InitPedalLike(b);
    a.ParameterAt(0)->set_value(0.123456789);
    a.ParameterAt(2)->set_value(0.0);
    IByteChunk c;
    ASSERT_TRUE(a.SerializeParams(c));
    EXPECT_EQ(c.Size(), 32);
    EXPECT_EQ(b.UnserializeParams(c, 0), 32);
    EXPECT_EQ(Values(a), Values(b));
}

TEST(Presets, FactorySlotsAndNames)
{
    TestPlugin p(4, "1-1 2-2", 16);
    InitPedalLike(p);
    EXPECT_STREQ(p.PresetName(0), "- 1 -");
    EXPECT_STREQ(p.PresetName(15), "- 16 -");

    p.AddPresetFromValues("Init", {1.0, 0.5, 1.9, 1});
    p.FillPresetsWithCurrent("Init", 15);
    p.EnsureOnePreset();
    EXPECT_EQ(p.PresetCount(), 16);
    for (int i = 0; i < 16; ++i) EXPECT_STREQ(p.PresetName(i), "Init");
    EXPECT_STREQ(p.PresetName(-1), "");
    EXPECT_STREQ(p.PresetName(16), "");
    EXPECT_EQ(p.ParameterAt(0)->value(), 0.5) << "making presets leaves the current values";

    p.AddPresetFromValues("Extra", {0.0, 0.0, 0, 0}); // no free slot: nothing
    EXPECT_STREQ(p.PresetName(15), "Init");

    ASSERT_TRUE(p.SelectPreset(0));
    EXPECT_EQ(Values(p), (std::vector<double>{1.0, 0.5, 1.0, 1.0})) << "choices take the integer part";
    ASSERT_TRUE(p.SelectPreset(3));
    EXPECT_EQ(p.ParameterAt(0)->value(), 0.5);
    EXPECT_EQ(p.CurrentPreset(), 3);

    EXPECT_FALSE(p.SelectPreset(16));
    EXPECT_FALSE(p.SelectPreset(-1));
    EXPECT_EQ(p.CurrentPreset(), 3);
}

TEST(Presets, WithoutSlotsOneDefaultAppears)
{
    TestPlugin p(4, "1-1", 0);
    InitPedalLike(p);
    p.EnsureOnePreset();
    ASSERT_EQ(p.PresetCount(), 1);
    EXPECT_STREQ(p.PresetName(0), "Default");
    EXPECT_TRUE(p.SelectPreset(0));
}

TEST(Presets, FreeSlotsCaptureTheCurrentValuesAsUserPresets)
{
    TestPlugin p(4, "1-1", 4);
    InitPedalLike(p);
    ASSERT_TRUE(p.SelectPreset(0));
    EXPECT_STREQ(p.PresetName(0), "user preset 1");
    p.ParameterAt(0)->set_value(0.9);
    ASSERT_TRUE(p.SelectPreset(2));
    EXPECT_STREQ(p.PresetName(2), "user preset 2");
    EXPECT_EQ(p.CurrentPreset(), 2);

    p.ParameterAt(0)->set_value(0.1);
    ASSERT_TRUE(p.SelectPreset(2)); // now it loads what it captured
    EXPECT_EQ(p.ParameterAt(0)->value(), 0.9);
}

TEST(Presets, StoringAndRenaming)
{
    TestPlugin p(4, "1-1", 2);
    InitPedalLike(p);
    p.FillPresetsWithCurrent(nullptr, 2);
    EXPECT_STREQ(p.PresetName(1), "Default");

    p.ParameterAt(1)->set_value(0.8);
    p.StoreCurrentInPreset("");
    EXPECT_STREQ(p.PresetName(0), "Default") << "an empty name keeps the old one";
    p.ParameterAt(1)->set_value(0.2);
    ASSERT_TRUE(p.SelectPreset(0));
    EXPECT_EQ(p.ParameterAt(1)->value(), 0.8);

    const std::string longName(400, 'x'); // a caller's name longer than the slot
    p.StoreCurrentInPreset(longName.c_str());
    EXPECT_EQ(std::string(p.PresetName(0)), std::string(255, 'x'));
    p.AddPresetFromValues(longName.c_str(), {});
}
