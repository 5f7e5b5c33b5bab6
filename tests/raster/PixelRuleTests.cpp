// The per-pixel rules with worked numbers. The mid-alpha cases are chosen so
// that truncation toward zero and flooring give different answers.
#include <gtest/gtest.h>

#include "raster/BlendPixel.h"
#include "raster/PixelMode.h"

using namespace mg;

TEST(RasterBlendOpaque, TransparentSourceLeavesDestinationWhole)
{
    EXPECT_EQ(BlendPixelOpaque(0x12345678u, 0x00FFFFFFu), 0x12345678u);
}

TEST(RasterBlendOpaque, OpaqueSourceReplacesColourKeepsDestinationAlpha)
{
    EXPECT_EQ(BlendPixelOpaque(0x80102030u, 0xFFA0B0C0u), 0x80A0B0C0u);
}

TEST(RasterBlendOpaque, MidAlphaTruncatesTowardZero)
{
    // keep = 127. Red: 200 + trunc(-100 * 127 / 256) = 200 - 49 = 151 (floor
    // would give 150). Green: 10 + trunc(240 * 127 / 256) = 10 + 119 = 129.
    EXPECT_EQ(BlendPixelOpaque(0x0064FA00u, 0x80C80A00u), 0x00978100u);
}

TEST(RasterBlendWeighted, QuarterWeightScalesColourAndAlpha)
{
    // Opaque source at w = 64: k = 64, f = 192.
    // A: 255 + trunc(-255 * 192 / 256) = 64; R: 200 - 75 = 125; G: 10 + 180 = 190.
    EXPECT_EQ(BlendPixelWeighted(0x0064FA00u, 0xFFC80A00u, 64), 0x407DBE00u);
    // Alpha 128 at w = 64: k = trunc(129 * 64 / 256) = 32, f = 224.
    // A: 128 - 112 = 16; R: 200 + trunc(-87.5) = 113; G: 10 + 210 = 220.
    EXPECT_EQ(BlendPixelWeighted(0x0064FA00u, 0x80C80A00u, 64), 0x1071DC00u);
}

TEST(RasterBlendWeighted, TransparentSourceLeavesDestinationAtAnyWeight)
{
    for (int w : {1, 64, 128, 255}) EXPECT_EQ(BlendPixelWeighted(0x11223344u, 0x00FFFFFFu, w), 0x11223344u);
}

TEST(RasterOverwrite, HalvingAveragesWithoutCarryBetweenChannels)
{
    EXPECT_EQ(HalvePixels(0x00000000u, 0xFFFFFFFFu), 0x7F7F7F7Fu);
    // Low bits are dropped per channel: 0x03 / 2 + 0x01 / 2 = 1, not 2.
    EXPECT_EQ(HalvePixels(0x01010101u, 0x03050709u), 0x01020304u);
    EXPECT_EQ(HalvePixels(0xFF00FF00u, 0xFF00FF00u), 0xFE00FE00u);
}

TEST(RasterOverwrite, WeightedMovesAllChannelsTowardSource)
{
    // A quarter of the way from white to black: 0 + trunc(255 * 192 / 256) = 191.
    EXPECT_EQ(OverwritePixelWeighted(0xFFFFFFFFu, 0x00000000u, 64), 0xBFBFBFBFu);
    // Half way from black: 255 + trunc(-127.5) = 128, 128 - 64, 64 - 32, 32 - 16.
    EXPECT_EQ(OverwritePixelWeighted(0x00000000u, 0xFF804020u, 128), 0x80402010u);
}

TEST(RasterAdditive, SaturatesAndKeepsDestinationAlpha)
{
    EXPECT_EQ(AddPixel(0x80F01000u, 0xFF202020u, 256, true), 0x80FF3020u);
    EXPECT_EQ(AddPixel(0x80F01000u, 0x00202020u, 256, true), 0x80F01000u) << "transparent source adds nothing";
    EXPECT_EQ(AddPixel(0x80F01000u, 0x00202020u, 256, false), 0x80FF3020u) << "without the alpha flag";
    // Half alpha: coverage trunc(129 * 256 / 256) = 129; 0x20 * 129 / 256 = 16.
    EXPECT_EQ(AddPixel(0x00000000u, 0x80202020u, 256, true), 0x00101010u);
}

TEST(RasterColourDodge, BrightensByInverseOfSource)
{
    EXPECT_EQ(DodgePixel(0xFF804000u, 0xFFFFFFFFu, 256, true), 0xFFFFFF00u) << "white: lit, black stays black";
    EXPECT_EQ(DodgePixel(0xFF804020u, 0xFF000000u, 256, true), 0xFF804020u) << "black source changes nothing";
    // 0x40 / (1 - 0x80/255) = 64 * 255 / 127 = 128.
    EXPECT_EQ(DodgePixel(0x00404040u, 0xFF808080u, 256, true), 0x00808080u);
    EXPECT_EQ(DodgePixel(0x00404040u, 0x00FFFFFFu, 256, true), 0x00404040u);
}

TEST(RasterPixelMode, BlendMethodNumbersMapToModes)
{
    EXPECT_EQ(PixelModeFromBlendMethod(0), kPixelSourceAlphaBlend);
    EXPECT_EQ(PixelModeFromBlendMethod(1), kPixelOverwrite);
    EXPECT_EQ(PixelModeFromBlendMethod(2), kPixelAdditive);
    EXPECT_EQ(PixelModeFromBlendMethod(3), kPixelColourDodge);
    for (int other : {-1, 4, 99}) EXPECT_EQ(PixelModeFromBlendMethod(other), kPixelSourceAlphaBlend);
    EXPECT_FALSE(kPixelOverwrite.sourceAlpha);
    EXPECT_TRUE(kPixelAdditive.sourceAlpha && kPixelColourDodge.sourceAlpha);
}
