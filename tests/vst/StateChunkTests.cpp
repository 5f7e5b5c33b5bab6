#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "VstTestHost.h"

using namespace mg::test;

namespace {

std::vector<unsigned char> Doubles(std::initializer_list<double> values, bool header)
{
    std::vector<unsigned char> bytes;
    if (header) bytes = {0x74, 0x66, 0x66, 0x70, 0x00, 0x00, 0x01, 0x00};
    // Sized first: growing it byte run by byte run sets off a false
    // overread warning in GCC 12 at -O3.
    std::size_t at = bytes.size();
    bytes.resize(at + 8 * values.size());
    for (double v : values) {
        std::memcpy(bytes.data() + at, &v, 8); // the test machine is little-endian, like the format
        at += 8;
    }
    return bytes;
}

} // namespace

class StateChunks : public ::testing::Test {
protected:
    void SetUp() override
    {
        FakeHost::Reset();
        fx.Dispatch(vst::effOpen);
    }
    vst::intptr Set(int index, std::vector<unsigned char> bytes)
    {
        return fx.Dispatch(vst::effSetChunk, index, static_cast<vst::intptr>(bytes.size()), bytes.data());
    }
    std::vector<unsigned char> Get(int index)
    {
        void* data = nullptr;
        const vst::intptr size = fx.Dispatch(vst::effGetChunk, index, 0, &data);
        if (size <= 0 || !data) return {};
        auto* p = static_cast<unsigned char*>(data);
        return {p, p + size};
    }
    float Param(int i) { return fx->getParameter(fx.get(), i); }

    LoadedPlugin library{FIXTURE_PATH};
    Instance fx{library};
};

TEST_F(StateChunks, GetHasHeaderAndValuesAndRoundTrips)
{
    fx->setParameter(fx.get(), 0, 0.3f);
    fx->setParameter(fx.get(), 1, 1.0f);
    const auto bank = Get(0);
    ASSERT_EQ(bank.size(), 24u);
    EXPECT_EQ(bank, Doubles({static_cast<double>(0.3f) * 2.0, 1.0}, true));
    EXPECT_EQ(Get(1), bank) << "bank and program chunks hold the same";

    fx->setParameter(fx.get(), 0, 1.0f);
    fx->setParameter(fx.get(), 1, 0.0f);
    EXPECT_EQ(Set(0, bank), 1);
    EXPECT_FLOAT_EQ(Param(0), 0.3f);
    EXPECT_EQ(Param(1), 1.0f);

    LoadedPlugin again(FIXTURE_PATH);
    Instance other(again);
    other.Dispatch(vst::effOpen);
    auto copy = bank;
    EXPECT_EQ(other.Dispatch(vst::effSetChunk, 1, static_cast<vst::intptr>(copy.size()), copy.data()), 1);
    EXPECT_FLOAT_EQ(other->getParameter(other.get(), 0), 0.3f);

    EXPECT_EQ(fx.Dispatch(vst::effGetChunk, 0, 0, nullptr), 0);
}

TEST_F(StateChunks, HeaderlessShortAndOutOfRangeData)
{
    EXPECT_EQ(Set(0, Doubles({0.5, 1.0}, false)), 1) << "no magic: read from the start";
    EXPECT_FLOAT_EQ(Param(0), 0.25f);
    EXPECT_EQ(Param(1), 1.0f);

    EXPECT_EQ(Set(0, Doubles({5.0, -1.0}, true)), 1);
    EXPECT_EQ(Param(0), 1.0f) << "clamped to the top of the range";
    EXPECT_EQ(Param(1), 0.0f);

    auto cut = Doubles({1.0, 1.0}, true);
    cut.resize(8 + 8 + 3);
    EXPECT_EQ(Set(1, cut), 0) << "short data is answered with 0";
    EXPECT_FLOAT_EQ(Param(0), 0.5f) << "what was there is loaded";
    EXPECT_EQ(Param(1), 0.0f) << "the first incomplete value becomes 0.0";

    std::vector<unsigned char> headerOnly = {0x74, 0x66, 0x66, 0x70, 0x00};
    fx->setParameter(fx.get(), 0, 0.9f);
    EXPECT_EQ(Set(0, headerOnly), 0);
    EXPECT_FLOAT_EQ(Param(0), 0.9f) << "a cut header loads nothing";

    EXPECT_EQ(fx.Dispatch(vst::effSetChunk, 0, -8, headerOnly.data()), 0);
    EXPECT_EQ(fx.Dispatch(vst::effSetChunk, 0, 8, nullptr), 0);
    EXPECT_FLOAT_EQ(Param(0), 0.9f) << "refused chunks change nothing";

    std::vector<unsigned char> empty(1);
    EXPECT_EQ(fx.Dispatch(vst::effSetChunk, 0, 0, empty.data()), 0);
}

TEST_F(StateChunks, BankChunkDoesNotOverwriteAFactoryPresetBeforeOneWasLoaded)
{
    Get(0); // a host saving its project right after creating the instance
    fx.Dispatch(vst::effSetProgram, 0, 0);
    EXPECT_FLOAT_EQ(Param(0), 0.25f) << "program 0 still holds its own values";

    fx->setParameter(fx.get(), 0, 0.8f);
    Get(0); // after a selection the bank chunk refreshes the current program
    fx.Dispatch(vst::effSetProgram, 0, 1);
    fx.Dispatch(vst::effSetProgram, 0, 0);
    EXPECT_FLOAT_EQ(Param(0), 0.8f);
}

TEST_F(StateChunks, ProgramChunkStoresIntoTheCurrentProgram)
{
    fx.Dispatch(vst::effSetProgram, 0, 1);
    EXPECT_EQ(Set(1, Doubles({0.2, 1.0}, true)), 1);
    fx.Dispatch(vst::effSetProgram, 0, 2);
    fx.Dispatch(vst::effSetProgram, 0, 1);
    EXPECT_FLOAT_EQ(Param(0), 0.1f);
}
