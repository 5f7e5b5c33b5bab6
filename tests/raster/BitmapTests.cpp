// Sizing rules of the two bitmap kinds: when blocks are kept, grown or freed.
#include <gtest/gtest.h>

#include <climits>

#include "raster/IMemoryBitmap.h"
#include "raster/ISystemBitmap.h"

using namespace mg;

TEST(RasterMemoryBitmap, ConstructionAllocatesExactlyOrNothing)
{
    IMemoryBitmap b(3, 2);
    ASSERT_NE(b.Pixels(), nullptr);
    EXPECT_EQ(b.Width(), 3);
    EXPECT_EQ(b.Height(), 2);
    EXPECT_EQ(b.RowSpan(), 3);
    EXPECT_EQ(b.CapacityBytes(), 24u);
    EXPECT_FALSE(b.Flipped());
    EXPECT_EQ(b.DeviceContext(), nullptr);

    for (auto [w, h] : {std::pair{0, 5}, {5, 0}, {-2, -3}, {INT_MAX, INT_MAX}}) {
        IMemoryBitmap none(w, h);
        EXPECT_EQ(none.Pixels(), nullptr) << w << "x" << h;
        EXPECT_EQ(none.Width(), 0);
        EXPECT_EQ(none.Height(), 0);
        EXPECT_EQ(none.CapacityBytes(), 0u);
    }
}

TEST(RasterMemoryBitmap, GrowsByAQuarterAndKeepsTheBlockWhenItFits)
{
    IMemoryBitmap b(10, 10);
    EXPECT_FALSE(b.Resize(10, 10));
    EXPECT_EQ(b.CapacityBytes(), 400u);

    ASSERT_TRUE(b.Resize(20, 10));
    EXPECT_EQ(b.CapacityBytes(), 1000u) << "needed 800 plus a quarter";
    std::uint32_t* grown = b.Pixels();
    ASSERT_NE(grown, nullptr);
    grown[249] = 0xCAFEF00Du; // the block must really be 1000 bytes (ASan checks)

    EXPECT_TRUE(b.Resize(10, 25)); // exactly the capacity
    EXPECT_EQ(b.Pixels(), grown);
    EXPECT_TRUE(b.Resize(5, 5));
    EXPECT_EQ(b.Pixels(), grown);
    EXPECT_EQ(b.CapacityBytes(), 1000u);
    EXPECT_EQ(b.RowSpan(), 5);
}

TEST(RasterMemoryBitmap, EmptySizeFreesAndNextSizeAllocatesExactly)
{
    IMemoryBitmap b(4, 4);
    EXPECT_TRUE(b.Resize(0, 7));
    EXPECT_EQ(b.Pixels(), nullptr);
    EXPECT_EQ(b.Width(), 0);
    EXPECT_EQ(b.Height(), 0);
    EXPECT_EQ(b.CapacityBytes(), 0u);

    EXPECT_TRUE(b.Resize(3, 3));
    EXPECT_EQ(b.CapacityBytes(), 36u);
    EXPECT_TRUE(b.Resize(-3, -3)) << "negative sides hold no pixels, even as a pair";
    EXPECT_EQ(b.Pixels(), nullptr);

    EXPECT_TRUE(b.Resize(3, 3));
    EXPECT_TRUE(b.Resize(INT_MAX, INT_MAX)); // byte count overflows: fails cleanly
    EXPECT_EQ(b.Pixels(), nullptr);
    EXPECT_EQ(b.Width(), 0);
    EXPECT_EQ(b.CapacityBytes(), 0u);
}

TEST(RasterSystemBitmap, KeepsItsBlockWhenShrinkingAndStepsByAllocatedWidth)
{
    ISystemBitmap s(4, 3);
    ASSERT_NE(s.Pixels(), nullptr);
    EXPECT_EQ(s.Pixels()[11], 0u) << "a new surface starts cleared";
    EXPECT_EQ(s.RowSpan(), 4);
    EXPECT_FALSE(s.Flipped());
    EXPECT_FALSE(s.Resize(4, 3));

    std::uint32_t* block = s.Pixels();
    EXPECT_TRUE(s.Resize(2, 2));
    EXPECT_EQ(s.Pixels(), block);
    EXPECT_EQ(s.Width(), 2);
    EXPECT_EQ(s.RowSpan(), 4);
    EXPECT_EQ(s.AllocatedHeight(), 3);

    EXPECT_TRUE(s.Resize(5, 2)); // wider than the block: a new one of exactly that size
    EXPECT_EQ(s.AllocatedWidth(), 5);
    EXPECT_EQ(s.AllocatedHeight(), 2);
    EXPECT_EQ(s.RowSpan(), 5);
    ASSERT_NE(s.Pixels(), nullptr);
    s.Pixels()[9] = 1; // last pixel of the new block
}

TEST(RasterSystemBitmap, EmptySizeDropsTheBlock)
{
    ISystemBitmap s(4, 3);
    EXPECT_FALSE(s.Resize(0, 3));
    EXPECT_EQ(s.Pixels(), nullptr);
    EXPECT_TRUE(s.Resize(2, 2));
    ASSERT_NE(s.Pixels(), nullptr);
    EXPECT_EQ(s.RowSpan(), 2);

    EXPECT_FALSE(s.Resize(-1, 5));
    EXPECT_EQ(s.Pixels(), nullptr);
    EXPECT_EQ(s.Width(), 0);

    ISystemBitmap none;
    EXPECT_EQ(none.Pixels(), nullptr);
    EXPECT_EQ(none.DeviceContext(), nullptr);
}
