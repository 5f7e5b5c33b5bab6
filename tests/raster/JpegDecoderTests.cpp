// JPEG decoding: a round trip through libjpeg's writer, and bad data.
#include <gtest/gtest.h>

#include <cstdlib>

#include "TestImages.h"
#include "raster/JpegDecoder.h"

using namespace mg;
using namespace mg::test;

namespace {

// 32 x 32 in four flat 16 x 16 quadrants.
const std::uint32_t kQuadrants[4] = {0xC81E1Eu, 0x1EC81Eu, 0x1E1EC8u, 0xF0E6D2u};

std::vector<std::uint32_t> QuadrantImage()
{
    std::vector<std::uint32_t> px;
    for (int y = 0; y < 32; ++y)
        for (int x = 0; x < 32; ++x) px.push_back(kQuadrants[(y / 16) * 2 + x / 16]);
    return px;
}

int ChannelDistance(std::uint32_t a, std::uint32_t b)
{
    int worst = 0;
    for (int shift : {0, 8, 16}) {
        worst = std::max(worst, std::abs(static_cast<int>((a >> shift) & 0xFF) - static_cast<int>((b >> shift) & 0xFF)));
    }
    return worst;
}

} // namespace

TEST(RasterJpeg, RoundTripKeepsColoursWithinJpegTolerance)
{
    const Bytes jpeg = WriteJpeg(32, 32, QuadrantImage(), 95);
    std::unique_ptr<IMemoryBitmap> b = DecodeJpeg({jpeg.data(), jpeg.size()});
    ASSERT_NE(b, nullptr);
    ASSERT_EQ(b->Width(), 32);
    ASSERT_EQ(b->Height(), 32);
    for (int y = 0; y < 32; ++y) {
        for (int x = 0; x < 32; ++x) {
            const std::uint32_t p = PixelAt(*b, x, y);
            EXPECT_EQ(p >> 24, 0xFFu);
            EXPECT_LE(ChannelDistance(p, kQuadrants[(y / 16) * 2 + x / 16]), 10) << "at " << x << "," << y;
        }
    }
}

TEST(RasterJpeg, GreyscaleComesOutAsEqualChannels)
{
    const std::vector<std::uint32_t> grey(8 * 8, 0x80);
    const Bytes jpeg = WriteJpeg(8, 8, grey, 90, true);
    IMemoryBitmap target(2, 2);
    ASSERT_TRUE(DecodeJpeg({jpeg.data(), jpeg.size()}, target));
    EXPECT_EQ(target.Width(), 8);
    const std::uint32_t p = PixelAt(target, 3, 3);
    EXPECT_EQ(p >> 24, 0xFFu);
    EXPECT_EQ((p >> 16) & 0xFF, p & 0xFF);
    EXPECT_EQ((p >> 8) & 0xFF, p & 0xFF);
    EXPECT_LE(ChannelDistance(p, 0x808080u), 2);
}

TEST(RasterJpeg, BadDataGivesNothing)
{
    const Bytes jpeg = WriteJpeg(32, 32, QuadrantImage(), 80);
    EXPECT_EQ(DecodeJpeg(ResourceBytes{}), nullptr);
    const Bytes noise(200, 0x5A);
    EXPECT_EQ(DecodeJpeg({noise.data(), noise.size()}), nullptr);
    for (std::size_t cut : {std::size_t{2}, std::size_t{20}, jpeg.size() / 2, jpeg.size() - 3}) {
        const Bytes part(jpeg.begin(), jpeg.begin() + static_cast<long>(cut));
        EXPECT_EQ(DecodeJpeg({part.data(), part.size()}), nullptr) << "cut at " << cut;
    }
}

// A header that claims far more pixels than the data can hold is refused
// before the target (or libjpeg) is sized for it.
TEST(RasterJpeg, LyingHeaderIsRejectedBeforeAllocating)
{
    const Bytes jpeg = WriteJpeg(32, 32, QuadrantImage(), 80);
    std::size_t sof = 0;
    for (std::size_t i = 0; i + 1 < jpeg.size() && !sof; ++i)
        if (jpeg[i] == 0xFF && jpeg[i + 1] == 0xC0) sof = i;
    ASSERT_GT(sof, 0u);
    for (auto [w, h] : {std::pair{4000u, 4000u}, {16000u, 1000u}}) {
        Bytes lie = jpeg;
        lie[sof + 5] = static_cast<unsigned char>(h >> 8);
        lie[sof + 6] = static_cast<unsigned char>(h);
        lie[sof + 7] = static_cast<unsigned char>(w >> 8);
        lie[sof + 8] = static_cast<unsigned char>(w);
        IMemoryBitmap target(1, 1);
        EXPECT_FALSE(DecodeJpeg({lie.data(), lie.size()}, target)) << w << "x" << h;
        EXPECT_EQ(target.Width(), 1) << "the target was sized for " << w << "x" << h;
    }
}
