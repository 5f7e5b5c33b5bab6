#include <gtest/gtest.h>

#include "FuzzShaper.h"

using mg::FuzzShaper;
using mg::SoftClip;

TEST(FuzzShaper, CurveAtUnitDrive)
{
    EXPECT_DOUBLE_EQ(FuzzShaper(0.1, 1.0), 0.1);   // soft clip 0.6, limited to 0.3, shifted
    EXPECT_DOUBLE_EQ(FuzzShaper(0.03, 1.0), 0.022);
    EXPECT_DOUBLE_EQ(FuzzShaper(0.0, 1.0), -0.2);
    EXPECT_DOUBLE_EQ(FuzzShaper(-0.1, 1.0), -0.2); // the negative half-wave is gone
    EXPECT_DOUBLE_EQ(FuzzShaper(-0.2, 1.0), 0.02); // ...until the step
    EXPECT_DOUBLE_EQ(FuzzShaper(0.2, 1.0), 0.1);
    EXPECT_DOUBLE_EQ(FuzzShaper(-0.19999, 1.0), -0.2);
}

TEST(FuzzShaper, WithoutDriveEverySampleIsTheFloor)
{
    for (double s : {-1.0, -0.3, 0.0, 0.05, 0.7, 3.0}) EXPECT_EQ(FuzzShaper(s, 0.0), -0.2) << s;
}

TEST(FuzzShaper, StaysWithinItsRange)
{
    for (double s = -2.0; s <= 2.0; s += 0.001) {
        const double y = FuzzShaper(s, 5.0);
        ASSERT_GE(y, -0.2);
        ASSERT_LE(y, 0.1 + 1e-15);
    }
}

TEST(SoftClip, ContinuousWithFlatShoulders)
{
    EXPECT_DOUBLE_EQ(SoftClip(0.2, 1.0, 1.0), 1.0);
    EXPECT_NEAR(SoftClip(0.1999999, 1.0, 1.0), 1.0, 1e-12);
    EXPECT_DOUBLE_EQ(SoftClip(-0.5, 0.8, 1.0), -0.8);
    EXPECT_DOUBLE_EQ(SoftClip(0.5, 0.8, 1.0), 0.8);
    // Slope 10·level at zero.
    EXPECT_NEAR(SoftClip(1e-9, 0.8, 1.0) / 1e-9, 8.0, 1e-6);
    // Symmetric.
    EXPECT_DOUBLE_EQ(SoftClip(-0.07, 0.8, 1.3), -SoftClip(0.07, 0.8, 1.3));
}
