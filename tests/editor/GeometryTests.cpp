// Rectangle rules and the frame arithmetic of image strips.
#include <gtest/gtest.h>

#include <limits>

#include "editor/IBitmapStrip.h"
#include "editor/IRectangle.h"

using mg::FrameForValue;
using mg::IBitmapStrip;
using mg::IRectangle;

TEST(Rectangle, OnlyAllZeroIsEmpty)
{
    EXPECT_TRUE(IRectangle{}.Empty());
    EXPECT_FALSE(IRectangle(5, 5, 5, 9).Empty()); // zero width, still a rectangle
    EXPECT_FALSE(IRectangle(0, 0, 0, 1).Empty());
}

TEST(Rectangle, UnionSkipsEmptyAndSpansBoth)
{
    const IRectangle a(10, 20, 30, 40);
    EXPECT_EQ(a.Union(IRectangle{}), a);
    EXPECT_EQ(IRectangle{}.Union(a), a);
    EXPECT_EQ(a.Union(IRectangle(0, 25, 15, 50)), IRectangle(0, 20, 30, 50));
    // A zero-width rectangle at the origin's side is not empty, so it counts.
    EXPECT_EQ(a.Union(IRectangle(0, 0, 0, 5)), IRectangle(0, 0, 30, 40));
}

TEST(Rectangle, IntersectsIsInclusiveOnTheOthersLeftAndTopOnly)
{
    const IRectangle area(0, 0, 10, 10);
    // Ends exactly where the other begins: meets it on that side...
    EXPECT_TRUE(area.Intersects(IRectangle(10, 0, 20, 10)));
    EXPECT_TRUE(area.Intersects(IRectangle(0, 10, 10, 20)));
    // ...but not the other way round.
    EXPECT_FALSE(IRectangle(10, 0, 20, 10).Intersects(area));
    EXPECT_FALSE(IRectangle(0, 10, 10, 20).Intersects(area));
    EXPECT_FALSE(area.Intersects(IRectangle(11, 0, 20, 10)));
    EXPECT_FALSE(area.Intersects(IRectangle{}));
    EXPECT_FALSE(IRectangle{}.Intersects(area));
}

TEST(Rectangle, IntersectOfAbuttingRectanglesHasNoWidth)
{
    const IRectangle area(0, 0, 10, 10);
    const IRectangle edge = area.Intersect(IRectangle(10, 2, 20, 8));
    EXPECT_EQ(edge, IRectangle(10, 2, 10, 8));
    EXPECT_EQ(edge.Width(), 0);
    EXPECT_EQ(area.Intersect(IRectangle(3, -5, 7, 4)), IRectangle(3, 0, 7, 4));
    EXPECT_TRUE(area.Intersect(IRectangle(20, 20, 30, 30)).Empty());
}

TEST(Rectangle, ContainsExcludesRightAndBottom)
{
    const IRectangle r(10, 20, 30, 40);
    EXPECT_TRUE(r.Contains(10, 20));
    EXPECT_TRUE(r.Contains(29, 39));
    EXPECT_FALSE(r.Contains(30, 20));
    EXPECT_FALSE(r.Contains(10, 40));
    EXPECT_FALSE(r.Contains(9, 25));
    // The empty rectangle holds no point, not even the origin.
    EXPECT_FALSE(IRectangle{}.Contains(0, 0));
}

TEST(Strip, FrameRowsAreRoundedShares)
{
    const IBitmapStrip knob{nullptr, 65, 4225, 65};
    EXPECT_EQ(knob.FrameTop(1), 0);
    EXPECT_EQ(knob.FrameTop(2), 65);
    EXPECT_EQ(knob.FrameTop(65), 4160);
    EXPECT_EQ(knob.FrameHeight(), 65);

    // 10 rows in 3 frames: 3.33 and 6.67 round to 3 and 7.
    const IBitmapStrip odd{nullptr, 1, 10, 3};
    EXPECT_EQ(odd.FrameTop(2), 3);
    EXPECT_EQ(odd.FrameTop(3), 7);
    EXPECT_EQ(odd.FrameHeight(), 3);

    // A frame count of zero is one frame, not a division by zero.
    const IBitmapStrip none{nullptr, 4, 8, 0};
    EXPECT_EQ(none.FrameHeight(), 8);
}

TEST(Strip, FrameForValuePicksTheNearestFrame)
{
    EXPECT_EQ(FrameForValue(0.0, 65), 1);
    EXPECT_EQ(FrameForValue(0.5, 65), 33);
    EXPECT_EQ(FrameForValue(1.0, 65), 65);
    EXPECT_EQ(FrameForValue(0.49, 2), 1);
    EXPECT_EQ(FrameForValue(0.5, 2), 2);
    EXPECT_EQ(FrameForValue(0.7, 1), 1);
    // Out of range (and no number at all) stays on the strip.
    EXPECT_EQ(FrameForValue(-3.0, 5), 1);
    EXPECT_EQ(FrameForValue(7.0, 5), 5);
    EXPECT_EQ(FrameForValue(std::numeric_limits<double>::quiet_NaN(), 5), 1);
}

