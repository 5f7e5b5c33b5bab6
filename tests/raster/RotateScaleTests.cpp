// Turned and resized images: quarter turns and whole-number enlargements move
// pixels exactly, turned images stay inside their destination, and a mask
// decides how much of a turned image shows.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

#include "TestImages.h"
#include "raster/IMemoryBitmap.h"
#include "raster/RotatePixels.h"
#include "raster/ScalePixels.h"

using namespace mg;
using mg::test::PixelAt;

namespace {

constexpr std::uint32_t kBack = 0xFF101010u;

// Opaque, every pixel distinct: x in blue, y in green.
void FillDistinct(IBitmap& b)
{
    for (int y = 0; y < b.Height(); ++y)
        for (int x = 0; x < b.Width(); ++x)
            b.Pixels()[y * b.RowSpan() + x] =
                0xFF000000u | static_cast<std::uint32_t>(y) << 8 | static_cast<std::uint32_t>(x);
}

struct Turned {
    IMemoryBitmap source{3, 2};
    IMemoryBitmap dest{8, 8};
    Turned()
    {
        FillDistinct(source);
        std::fill(dest.Pixels(), dest.Pixels() + 64, kBack);
    }
    void Turn(const PixelRect& into, double degrees, const PixelRect& clip = {0, 0, 8, 8})
    {
        RotatePixels(dest, into, clip, source, BoundsOf(source), degrees, kPixelOverwrite, 1.0f);
    }
    // Destination pixels outside `area` must be untouched.
    void ExpectOnlyInside(const PixelRect& area) const
    {
        for (int y = 0; y < 8; ++y)
            for (int x = 0; x < 8; ++x)
                if (!area.Contains(x, y)) {
                    EXPECT_EQ(PixelAt(dest, x, y), kBack) << x << "," << y;
                }
    }
};

} // namespace

TEST(RasterRotate, QuarterTurnsMovePixelsExactly)
{
    // A 3 x 2 image turned a quarter clockwise into a 2 x 3 rectangle: the
    // transpose, mirrored left to right.
    for (const double degrees : {90.0, 450.0, -270.0}) {
        Turned t;
        t.Turn({1, 2, 3, 5}, degrees);
        for (int y = 0; y < 3; ++y)
            for (int x = 0; x < 2; ++x)
                EXPECT_EQ(PixelAt(t.dest, 1 + x, 2 + y), PixelAt(t.source, y, 1 - x))
                    << degrees << " at " << x << "," << y;
        t.ExpectOnlyInside({1, 2, 3, 5});
    }
    Turned half;
    half.Turn({4, 4, 7, 6}, 180.0);
    Turned none;
    none.Turn({4, 4, 7, 6}, 0.0);
    Turned back;
    back.Turn({1, 2, 3, 5}, 270.0);
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 3; ++x) {
            EXPECT_EQ(PixelAt(half.dest, 4 + x, 4 + y), PixelAt(half.source, 2 - x, 1 - y));
            EXPECT_EQ(PixelAt(none.dest, 4 + x, 4 + y), PixelAt(none.source, x, y));
            EXPECT_EQ(PixelAt(back.dest, 1 + y, 2 + x), PixelAt(back.source, 2 - x, y));
        }
}

TEST(RasterRotate, StaysInsideItsDestinationAndClipAndLeavesUncoveredPixels)
{
    Turned t;
    t.source.Resize(4, 4);
    FillDistinct(t.source);
    t.Turn({0, 0, 8, 8}, 45.0);
    EXPECT_EQ(PixelAt(t.dest, 0, 0), kBack); // corners the turned square does not reach
    EXPECT_EQ(PixelAt(t.dest, 7, 7), kBack);
    EXPECT_NE(PixelAt(t.dest, 4, 4), kBack);

    // A destination smaller than the image shows the image's middle.
    Turned small;
    small.source.Resize(4, 4);
    FillDistinct(small.source);
    small.Turn({3, 3, 5, 5}, 0.0);
    EXPECT_EQ(PixelAt(small.dest, 3, 3), PixelAt(small.source, 1, 1));
    EXPECT_EQ(PixelAt(small.dest, 4, 4), PixelAt(small.source, 2, 2));
    small.ExpectOnlyInside({3, 3, 5, 5});

    Turned clipped;
    clipped.Turn({1, 2, 3, 5}, 90.0, {0, 0, 2, 3});
    clipped.ExpectOnlyInside({1, 2, 2, 3});
    EXPECT_EQ(PixelAt(clipped.dest, 1, 2), PixelAt(clipped.source, 0, 1));

    Turned nan;
    nan.Turn({0, 0, 8, 8}, std::nan(""));
    nan.ExpectOnlyInside({});
}

TEST(RasterRotate, MaskShowsTheTurnedImageOnlyWhereItIsOpaque)
{
    // Mask over a 2 x 3 destination: opaque top row, half in the middle,
    // clear bottom row; one column narrower than the destination.
    IMemoryBitmap mask(1, 3);
    mask.Pixels()[0] = 0xFF000000u;
    mask.Pixels()[1] = 0x80000000u;
    mask.Pixels()[2] = 0x00000000u;
    Turned plain;
    plain.Turn({1, 2, 3, 5}, 90.0);
    Turned masked;
    IMemoryBitmap scratch;
    RotateMaskedPixels(masked.dest, {1, 2, 3, 5}, {0, 0, 8, 8}, masked.source, BoundsOf(masked.source), mask,
                       BoundsOf(mask), 90.0, kPixelOverwrite, 1.0f, scratch);
    EXPECT_EQ(PixelAt(masked.dest, 1, 2), PixelAt(plain.dest, 1, 2));
    const std::uint32_t between = PixelAt(masked.dest, 1, 3);
    EXPECT_NE(between, kBack);
    EXPECT_NE(between, PixelAt(plain.dest, 1, 3));
    EXPECT_EQ(PixelAt(masked.dest, 1, 4), kBack);
    EXPECT_EQ(PixelAt(masked.dest, 2, 2), kBack); // beyond the mask
    masked.ExpectOnlyInside({1, 2, 2, 4});
    EXPECT_EQ(scratch.Width(), 2);
    EXPECT_EQ(scratch.Height(), 3);
}

TEST(RasterScale, WholeNumberEnlargementRepeatsPixelsAndReductionSamplesCentres)
{
    IMemoryBitmap source(3, 2);
    FillDistinct(source);
    source.Pixels()[4] = 0x5A123456u; // alpha is copied as it is
    const auto doubled = ScalePixels(source, 6, 4);
    ASSERT_NE(doubled, nullptr);
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 6; ++x)
            EXPECT_EQ(PixelAt(*doubled, x, y), PixelAt(source, x / 2, y / 2)) << x << "," << y;

    IMemoryBitmap square(3, 3);
    FillDistinct(square);
    const auto one = ScalePixels(square, 1, 1);
    ASSERT_NE(one, nullptr);
    EXPECT_EQ(PixelAt(*one, 0, 0), PixelAt(square, 1, 1));

    EXPECT_EQ(ScalePixels(source, 0, 4), nullptr);
    EXPECT_EQ(ScalePixels(source, 4, -1), nullptr);
    EXPECT_EQ(ScalePixels(IMemoryBitmap(), 4, 4), nullptr);
}
