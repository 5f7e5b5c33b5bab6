// Clipping, row addressing and mode dispatch of BlitPixels.
#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <vector>

#include "TestImages.h"
#include "raster/BlendPixel.h"
#include "raster/BlitPixels.h"
#include "raster/IMemoryBitmap.h"
#include "raster/ISystemBitmap.h"

using namespace mg;
using mg::test::PixelAt;

namespace {

constexpr std::uint32_t kBack = 0x11111111u;

// Every source pixel distinct: alpha 0x5A (so an overwrite visibly copies
// alpha), x in blue, y in green.
std::uint32_t SourceValue(int x, int y)
{
    return 0x5A000000u | static_cast<std::uint32_t>(y) << 8 | static_cast<std::uint32_t>(x);
}

void FillSource(IBitmap& b)
{
    for (int y = 0; y < b.Height(); ++y)
        for (int x = 0; x < b.Width(); ++x) b.Pixels()[y * b.RowSpan() + x] = SourceValue(x, y);
}

void Fill(IBitmap& b, std::uint32_t v)
{
    for (int y = 0; y < b.Height(); ++y)
        for (int x = 0; x < b.Width(); ++x) b.Pixels()[y * b.RowSpan() + x] = v;
}

// Destination (dx, dy) must hold source (dx - offX, dy - offY) inside the
// given destination area and the background everywhere else.
void ExpectCopied(const IBitmap& dest, int left, int top, int right, int bottom, int offX, int offY)
{
    for (int y = 0; y < dest.Height(); ++y) {
        for (int x = 0; x < dest.Width(); ++x) {
            const bool inside = x >= left && x < right && y >= top && y < bottom;
            const std::uint32_t want = inside ? SourceValue(x - offX, y - offY) : kBack;
            ASSERT_EQ(PixelAt(dest, x, y), want) << "at " << x << "," << y;
        }
    }
}

struct Pair {
    IMemoryBitmap dest;
    IMemoryBitmap src;
    Pair(int dw, int dh, int sw, int sh) : dest(dw, dh), src(sw, sh)
    {
        Fill(dest, kBack);
        FillSource(src);
    }
};

// A bitmap stored bottom-up with padded rows, as a Windows bottom-up DIB is.
class FlippedBitmap final : public IBitmap {
public:
    FlippedBitmap(int w, int h, int span) : w_(w), h_(h), span_(span), store_(static_cast<std::size_t>(span * h)) {}
    std::uint32_t* Pixels() const override { return const_cast<std::uint32_t*>(store_.data()); }
    int Width() const override { return w_; }
    int Height() const override { return h_; }
    int RowSpan() const override { return span_; }
    bool Flipped() const override { return true; }
    bool Resize(int, int) override { return false; }
    DeviceContextHandle DeviceContext() const override { return nullptr; }
    std::uint32_t& Stored(int x, int storedRow) { return store_[static_cast<std::size_t>(storedRow * span_ + x)]; }

private:
    int w_, h_, span_;
    std::vector<std::uint32_t> store_;
};

} // namespace

TEST(RasterBlitClip, WholeSourceInsideDestination)
{
    Pair p(10, 10, 4, 3);
    BlitPixels(p.dest, p.src, 2, 5, nullptr, 1.0f, kPixelOverwrite);
    ExpectCopied(p.dest, 2, 5, 6, 8, 2, 5);
}

TEST(RasterBlitClip, NegativeDestinationStartsFurtherIntoSource)
{
    Pair p(8, 8, 20, 5);
    BlitPixels(p.dest, p.src, -10, 0, nullptr, 1.0f, kPixelOverwrite);
    EXPECT_EQ(PixelAt(p.dest, 0, 0), SourceValue(10, 0));
    ExpectCopied(p.dest, 0, 0, 8, 5, -10, 0);

    Pair q(8, 8, 5, 6);
    BlitPixels(q.dest, q.src, -2, -3, nullptr, 1.0f, kPixelOverwrite);
    ExpectCopied(q.dest, 0, 0, 3, 3, -2, -3);
}

TEST(RasterBlitClip, SourceRectangleIsClippedToTheSource)
{
    Pair p(10, 10, 6, 4);
    const PixelRect beyond{2, 1, 100, 100};
    BlitPixels(p.dest, p.src, 0, 0, &beyond, 1.0f, kPixelOverwrite);
    ExpectCopied(p.dest, 0, 0, 4, 3, -2, -1);

    // A negative source corner shifts the destination instead.
    Pair q(10, 10, 6, 4);
    const PixelRect before{-3, -1, 2, 2};
    BlitPixels(q.dest, q.src, 1, 1, &before, 1.0f, kPixelOverwrite);
    ExpectCopied(q.dest, 4, 2, 6, 4, 4, 2);
}

TEST(RasterBlitClip, CopyStopsAtDestinationEdgeWithoutWrapping)
{
    Pair p(5, 5, 4, 4);
    BlitPixels(p.dest, p.src, 3, 3, nullptr, 1.0f, kPixelOverwrite);
    ExpectCopied(p.dest, 3, 3, 5, 5, 3, 3);
    // Same under the per-pixel path.
    Pair q(5, 5, 4, 4);
    BlitPixels(q.dest, q.src, 3, 3, nullptr, 0.5f, kPixelSourceAlphaBlend);
    EXPECT_EQ(PixelAt(q.dest, 0, 4), kBack);
    EXPECT_NE(PixelAt(q.dest, 4, 4), kBack);

    // Rows below the logical height of a shrunken surface are still its
    // memory; the copy must not spill into them.
    ISystemBitmap surface(5, 8);
    surface.Resize(5, 5);
    IMemoryBitmap src(4, 4);
    FillSource(src);
    BlitPixels(surface, src, 3, 3, nullptr, 1.0f, kPixelOverwrite);
    for (int i = 5 * 5; i < 5 * 8; ++i) EXPECT_EQ(surface.Pixels()[i], 0u) << "spilled to pixel " << i;
}

TEST(RasterBlitClip, EmptyResultsCopyNothing)
{
    const PixelRect inverted{3, 0, 1, 2};
    const PixelRect outside{10, 10, 12, 12};
    struct Case {
        int dx, dy;
        const PixelRect* rect;
        float weight;
    } cases[] = {
        {6, 0, nullptr, 1.0f},   {0, 6, nullptr, 1.0f},       {-4, 0, nullptr, 1.0f},
        {0, -4, nullptr, 1.0f},  {0, 0, &inverted, 1.0f},     {0, 0, &outside, 1.0f},
        {0, 0, nullptr, 0.0f},   {0, 0, nullptr, -1.0f},      {0, 0, nullptr, std::nanf("")},
        {0, 0, nullptr, 0.001f}, {INT_MIN, INT_MIN, nullptr, 1.0f}, {INT_MAX, INT_MAX, nullptr, 1.0f},
    };
    for (const Case& c : cases) {
        for (PixelMode mode : {kPixelOverwrite, kPixelSourceAlphaBlend, kPixelAdditive}) {
            Pair p(6, 6, 4, 4);
            BlitPixels(p.dest, p.src, c.dx, c.dy, c.rect, c.weight, mode);
            ExpectCopied(p.dest, 0, 0, 0, 0, 0, 0);
        }
    }
}

TEST(RasterBlitClip, BitmapsWithoutPixelsAreSkipped)
{
    IMemoryBitmap empty;
    Pair p(4, 4, 2, 2);
    BlitPixels(p.dest, empty, 0, 0, nullptr, 1.0f, kPixelOverwrite);
    ExpectCopied(p.dest, 0, 0, 0, 0, 0, 0);
    BlitPixels(empty, p.src, 0, 0, nullptr, 1.0f, kPixelSourceAlphaBlend); // must not crash
}

TEST(RasterBlitRows, FlippedSourceAndPaddedRows)
{
    FlippedBitmap src(3, 2, 5);
    src.Stored(0, 1) = 0xFF0000AAu; // logical row 0 is stored last
    src.Stored(2, 0) = 0xFF0000BBu; // logical row 1
    IMemoryBitmap dest(3, 2);
    Fill(dest, kBack);
    BlitPixels(dest, src, 0, 0, nullptr, 1.0f, kPixelOverwrite);
    EXPECT_EQ(PixelAt(dest, 0, 0), 0xFF0000AAu);
    EXPECT_EQ(PixelAt(dest, 2, 1), 0xFF0000BBu);

    // A shrunken surface keeps its wider rows; blits must step by the span.
    ISystemBitmap surface(8, 4);
    surface.Resize(4, 3);
    ASSERT_EQ(surface.RowSpan(), 8);
    Fill(surface, kBack);
    IMemoryBitmap tile(2, 2);
    FillSource(tile);
    BlitPixels(surface, tile, 1, 1, nullptr, 1.0f, kPixelOverwrite);
    EXPECT_EQ(surface.Pixels()[1 * 8 + 1], SourceValue(0, 0));
    EXPECT_EQ(surface.Pixels()[2 * 8 + 2], SourceValue(1, 1));
    // Where a width-stepped copy would have put source (0, 0): row 0, past the
    // logical width, still as the new surface left it.
    EXPECT_EQ(surface.Pixels()[1 * 4 + 1], 0u) << "rows were addressed by width, not span";
}

TEST(RasterBlitModes, WeightAndModeChooseThePixelRule)
{
    IMemoryBitmap src(1, 1);
    src.Pixels()[0] = 0x80C80A00u;
    auto blit = [&](float weight, PixelMode mode) {
        IMemoryBitmap dest(1, 1);
        dest.Pixels()[0] = 0x0064FA00u;
        BlitPixels(dest, src, 0, 0, nullptr, weight, mode);
        return dest.Pixels()[0];
    };
    EXPECT_EQ(blit(1.0f, kPixelOverwrite), 0x80C80A00u);
    EXPECT_EQ(blit(0.5f, kPixelOverwrite), HalvePixels(0x0064FA00u, 0x80C80A00u));
    EXPECT_EQ(blit(0.25f, kPixelOverwrite), OverwritePixelWeighted(0x0064FA00u, 0x80C80A00u, 64));
    EXPECT_EQ(blit(1.0f, kPixelSourceAlphaBlend), 0x00978100u);
    EXPECT_EQ(blit(0.25f, kPixelSourceAlphaBlend), 0x1071DC00u);
    EXPECT_EQ(blit(3.0f, kPixelSourceAlphaBlend), 0x00978100u) << "weights above 1 count as 1";
    EXPECT_EQ(blit(1.0f, kPixelAdditive), AddPixel(0x0064FA00u, 0x80C80A00u, 256, true));
    EXPECT_EQ(blit(1.0f, kPixelColourDodge), DodgePixel(0x0064FA00u, 0x80C80A00u, 256, true));
}
