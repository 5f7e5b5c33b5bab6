// Points, spans, lines, circles and arcs: which pixels they draw, that each
// is drawn once, how they clip, and that they combine pixels as blits do.
#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstdlib>
#include <set>
#include <utility>

#include "TestImages.h"
#include "raster/BlitPixels.h"
#include "raster/DrawCircle.h"
#include "raster/DrawLine.h"
#include "raster/DrawSpans.h"
#include "raster/IMemoryBitmap.h"

using namespace mg;
using mg::test::PixelAt;

namespace {

constexpr std::uint32_t kBack = 0xFF000000u;
// Half-transparent white over black: a pixel drawn twice comes out lighter
// than one drawn once.
const PixelPaint kHalfWhite{0x80FFFFFFu, kPixelSourceAlphaBlend, 1.0f};

using Pixels = std::set<std::pair<int, int>>;

struct Canvas {
    IMemoryBitmap bitmap;
    explicit Canvas(int w = 16, int h = 16) : bitmap(w, h)
    {
        std::fill(bitmap.Pixels(), bitmap.Pixels() + w * h, kBack);
    }
    PixelRect All() const { return BoundsOf(bitmap); }

    // Every pixel that changed; each must hold the value of one drawing.
    Pixels Drawn() const
    {
        const std::uint32_t once = BlendPixelOpaque(kBack, kHalfWhite.colour);
        Pixels drawn;
        for (int y = 0; y < bitmap.Height(); ++y)
            for (int x = 0; x < bitmap.Width(); ++x) {
                const std::uint32_t p = PixelAt(bitmap, x, y);
                if (p == kBack) continue;
                EXPECT_EQ(p, once) << "drawn more than once at " << x << "," << y;
                drawn.insert({x, y});
            }
        return drawn;
    }
};

Pixels Line(int x0, int y0, int x1, int y1)
{
    Canvas c;
    DrawLine(c.bitmap, c.All(), kHalfWhite, x0, y0, x1, y1);
    return c.Drawn();
}

Pixels Circle(int cx, int cy, int r)
{
    Canvas c(32, 32);
    DrawCircle(c.bitmap, c.All(), kHalfWhite, cx, cy, r);
    return c.Drawn();
}

Pixels Arc(int cx, int cy, int r, double start, double end)
{
    Canvas c(32, 32);
    DrawArc(c.bitmap, c.All(), kHalfWhite, cx, cy, r, start, end);
    return c.Drawn();
}

template <class Keep>
Pixels Only(const Pixels& all, Keep keep)
{
    Pixels kept;
    for (const auto& p : all)
        if (keep(p.first, p.second)) kept.insert(p);
    return kept;
}

} // namespace

TEST(RasterLine, DrawsBothEndsAndEveryStepOnceTheSameEitherWayRound)
{
    const int cases[][4] = {{1, 2, 13, 7}, {3, 14, 5, 1}, {14, 14, 0, 0}, {2, 9, 12, 9},
                            {6, 1, 6, 11}, {0, 0, 15, 1}, {7, 7, 7, 7}};
    for (const auto& c : cases) {
        const Pixels forth = Line(c[0], c[1], c[2], c[3]);
        EXPECT_EQ(forth, Line(c[2], c[3], c[0], c[1]));
        EXPECT_TRUE(forth.count({c[0], c[1]}) && forth.count({c[2], c[3]})) << c[0] << "," << c[1];
        // One pixel per step along the longer axis, never more than one off
        // the exact line.
        const int dx = c[2] - c[0], dy = c[3] - c[1];
        EXPECT_EQ(forth.size(), static_cast<std::size_t>(std::max(std::abs(dx), std::abs(dy)) + 1));
        if (dx == 0 && dy == 0) continue;
        for (const auto& [x, y] : forth) {
            const double off = std::abs(dy * (x - c[0]) - dx * (y - c[1])) / std::hypot(dx, dy);
            EXPECT_LE(off, 0.5 + 1e-9) << x << "," << y;
        }
    }
}

TEST(RasterLine, EndsFarOutsideAreClippedNotWalked)
{
    EXPECT_EQ(Line(INT_MIN, 5, INT_MAX, 5).size(), 16u);
    const Pixels diagonal = Line(-1000000000, -1000000000, 1000000000, 1000000000);
    EXPECT_EQ(diagonal, Only(diagonal, [](int x, int y) { return x == y; }));
    EXPECT_EQ(diagonal.size(), 16u);

    Canvas c;
    DrawLine(c.bitmap, PixelRect{4, 4, 8, 8}, kHalfWhite, INT_MIN, INT_MIN, INT_MAX, INT_MAX);
    EXPECT_EQ(c.Drawn(), (Pixels{{4, 4}, {5, 5}, {6, 6}, {7, 7}}));
}

TEST(RasterSpans, IncludeBothEndsInEitherOrderAndClipAtEveryEdge)
{
    const PixelRect clip{2, 3, 8, 9};
    auto row = [&](int y, int x1, int x2) {
        Canvas c(10, 10);
        DrawHorizontalSpan(c.bitmap, clip, kHalfWhite, y, x1, x2);
        return c.Drawn();
    };
    auto column = [&](int x, int y1, int y2) {
        Canvas c(10, 10);
        DrawVerticalSpan(c.bitmap, clip, kHalfWhite, x, y1, y2);
        return c.Drawn();
    };
    EXPECT_EQ(row(5, 3, 5), (Pixels{{3, 5}, {4, 5}, {5, 5}}));
    EXPECT_EQ(row(5, 5, 3), row(5, 3, 5));
    EXPECT_EQ(column(4, 6, 4), (Pixels{{4, 4}, {4, 5}, {4, 6}}));
    // The edges along a span cut it; beyond the other two it is dropped.
    EXPECT_EQ(row(5, INT_MAX, INT_MIN), row(5, 2, 7));
    EXPECT_EQ(column(4, INT_MIN, INT_MAX), column(4, 3, 8));
    const std::pair<int, std::size_t> rows[] = {{2, 0}, {3, 6}, {8, 6}, {9, 0}};
    for (const auto& [y, count] : rows) EXPECT_EQ(row(y, -100, 100).size(), count) << "row " << y;
    const std::pair<int, std::size_t> columns[] = {{1, 0}, {2, 6}, {7, 6}, {8, 0}};
    for (const auto& [x, count] : columns) EXPECT_EQ(column(x, -100, 100).size(), count) << "column " << x;
    // The bitmap clips too, whatever the clip says.
    Canvas c(4, 4);
    DrawHorizontalSpan(c.bitmap, PixelRect{-50, -50, 50, 50}, kHalfWhite, 1, -10, 10);
    EXPECT_EQ(c.Drawn().size(), 4u);
}

TEST(RasterPoint, AnswersWhetherItDrew)
{
    Canvas c(4, 4);
    EXPECT_TRUE(PlotPixel(c.bitmap, c.All(), kHalfWhite, 3, 0));
    EXPECT_FALSE(PlotPixel(c.bitmap, c.All(), kHalfWhite, 4, 0));
    EXPECT_FALSE(PlotPixel(c.bitmap, PixelRect{0, 0, 2, 2}, kHalfWhite, 3, 1));
    EXPECT_FALSE(PlotPixel(c.bitmap, c.All(), PixelPaint{0xFFFFFFFFu, kPixelOverwrite, 0.0f}, 1, 1));
    EXPECT_EQ(c.Drawn(), (Pixels{{3, 0}}));
}

// A shape's pixel must come out as a blit of that colour would make it.
TEST(RasterDrawing, CombinesPixelsAsABlitOfTheColourDoes)
{
    const std::uint32_t dest = 0x80406080u;
    const std::uint32_t colour = 0xA0C02010u;
    const PixelMode modes[] = {kPixelSourceAlphaBlend, kPixelOverwrite, kPixelAdditive, kPixelColourDodge};
    for (const PixelMode mode : modes) {
        for (const float weight : {1.0f, 0.5f, 0.3f}) {
            IMemoryBitmap source(1, 1);
            source.Pixels()[0] = colour;
            IMemoryBitmap blitted(3, 1);
            IMemoryBitmap drawn(3, 1);
            std::fill(blitted.Pixels(), blitted.Pixels() + 3, dest);
            std::fill(drawn.Pixels(), drawn.Pixels() + 3, dest);
            BlitPixels(blitted, source, 1, 0, nullptr, weight, mode);
            const PixelPaint paint{colour, mode, weight};
            DrawHorizontalSpan(drawn, BoundsOf(drawn), paint, 0, 1, 1);
            EXPECT_EQ(PixelAt(drawn, 1, 0), PixelAt(blitted, 1, 0))
                << "op " << static_cast<int>(mode.op) << " alpha " << mode.sourceAlpha << " weight " << weight;
            DrawLine(drawn, BoundsOf(drawn), paint, 2, 0, 2, 0);
            EXPECT_EQ(PixelAt(drawn, 2, 0), PixelAt(blitted, 1, 0));
        }
    }
}

TEST(RasterCircle, IsSymmetricOnTheRadiusAndDrawsEachPixelOnce)
{
    EXPECT_EQ(Circle(9, 9, 0), (Pixels{{9, 9}}));
    EXPECT_TRUE(Circle(9, 9, -1).empty());
    for (const int r : {1, 5, 12}) {
        const Pixels circle = Circle(15, 15, r);
        for (const auto& [x, y] : circle) {
            const int dx = x - 15, dy = y - 15;
            EXPECT_LE(std::abs(std::hypot(dx, dy) - r), 0.5) << "r " << r << " at " << dx << "," << dy;
            for (const auto& [mx, my] : {std::pair{-dx, dy}, std::pair{dx, -dy}, std::pair{dy, dx}})
                EXPECT_TRUE(circle.count({15 + mx, 15 + my})) << "r " << r << " mirror of " << dx << "," << dy;
        }
        for (const auto& p :
             {std::pair{15, 15 - r}, std::pair{15 + r, 15}, std::pair{15, 15 + r}, std::pair{15 - r, 15}})
            EXPECT_TRUE(circle.count(p)) << "r " << r;
    }
    // Closed: every pixel of a circle touches two others.
    const Pixels ring = Circle(15, 15, 9);
    for (const auto& [x, y] : ring) {
        int neighbours = 0;
        for (int dy = -1; dy <= 1; ++dy)
            for (int dx = -1; dx <= 1; ++dx) neighbours += (dx || dy) && ring.count({x + dx, y + dy});
        EXPECT_GE(neighbours, 2) << x << "," << y;
    }
}

TEST(RasterCircle, HugeCircleCrossingTheBitmapIsClippedNotWalked)
{
    // Its lowest point is at row 5; across 16 columns it is flat.
    Canvas c;
    DrawCircle(c.bitmap, c.All(), kHalfWhite, 8, 5 - 2000000000, 2000000000);
    EXPECT_EQ(c.Drawn(), Only(c.Drawn(), [](int, int y) { return y == 5; }));
    EXPECT_EQ(c.Drawn().size(), 16u);
}

TEST(RasterArc, CoversItsSweepClockwiseFromTwelve)
{
    const Pixels circle = Circle(15, 15, 10);
    auto quadrant = [&](bool right, bool up) {
        return Only(circle, [&](int x, int y) { return (right ? x >= 15 : x <= 15) && (up ? y <= 15 : y >= 15); });
    };
    EXPECT_EQ(Arc(15, 15, 10, 0, 90), quadrant(true, true));
    EXPECT_EQ(Arc(15, 15, 10, 90, 180), quadrant(true, false));
    EXPECT_EQ(Arc(15, 15, 10, -90, 0), quadrant(false, true));
    // An end below the start wraps past twelve o'clock.
    EXPECT_EQ(Arc(15, 15, 10, 270, 90), Only(circle, [](int, int y) { return y <= 15; }));
    EXPECT_EQ(Arc(15, 15, 10, 0, 360), circle);
    EXPECT_EQ(Arc(15, 15, 10, -500, 900), circle);
    EXPECT_EQ(Arc(15, 15, 10, 90, 90), (Pixels{{25, 15}}));
    EXPECT_TRUE(Arc(15, 15, 10, 0, std::nan("")).empty());
}
