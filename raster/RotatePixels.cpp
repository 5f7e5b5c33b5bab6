#include "raster/RotatePixels.h"

#include <cmath>
#include <cstdint>
#include <numbers>

#include "raster/BlendPixel.h"
#include "raster/BlitPixels.h"
#include "raster/Degrees.h"
#include "raster/PixelRows.h"
#include "raster/PixelRule.h"

namespace mg {

namespace {

struct Turn {
    double cos = 1.0;
    double sin = 0.0;
};

// Quarter turns get exact factors: cos(90 degrees) computed is not 0, and
// that would move pixels that sit on a sample boundary.
bool TurnOf(double degrees, Turn& turn)
{
    if (!std::isfinite(degrees)) return false;
    const double d = WrappedDegrees(degrees);
    if (d == 0.0) turn = {1.0, 0.0};
    else if (d == 90.0) turn = {0.0, 1.0};
    else if (d == 180.0) turn = {-1.0, 0.0};
    else if (d == 270.0) turn = {0.0, -1.0};
    else turn = {std::cos(d * std::numbers::pi / 180.0), std::sin(d * std::numbers::pi / 180.0)};
    return true;
}

// Draws into `area` of `dest` (already inside it) the turned source, whose
// centre lands on (centreX, centreY) in dest's pixel coordinates; false
// when nothing could be drawn.
bool TurnInto(IBitmap& dest, const PixelRect& area, double centreX, double centreY, const IBitmap& src,
              const PixelRect& sourceArea, double degrees, PixelMode mode, float weight)
{
    const PixelRect from = sourceArea.Intersect(BoundsOf(src));
    Turn turn;
    if (area.IsEmpty() || from.IsEmpty() || !dest.Pixels() || !src.Pixels() || !TurnOf(degrees, turn))
        return false;
    const double fromX = (from.left + static_cast<double>(from.right)) / 2.0;
    const double fromY = (from.top + static_cast<double>(from.bottom)) / 2.0;
    return WithPixelRule(mode, weight, [&](auto rule) {
        for (int y = area.top; y < area.bottom; ++y) {
            std::uint32_t* row = RowOf(dest, y);
            const double oy = y + 0.5 - centreY;
            for (int x = area.left; x < area.right; ++x) {
                // The source point that the turn carries onto this pixel's centre.
                const double ox = x + 0.5 - centreX;
                const double sx = std::floor(fromX + ox * turn.cos + oy * turn.sin);
                const double sy = std::floor(fromY - ox * turn.sin + oy * turn.cos);
                if (!(sx >= from.left && sx < from.right && sy >= from.top && sy < from.bottom)) continue;
                row[x] = rule(row[x], RowOf(src, static_cast<int>(sy))[static_cast<int>(sx)]);
            }
        }
    });
}

double CentreOf(int low, int high)
{
    return (low + static_cast<double>(high)) / 2.0;
}

// All four channels move from the destination to the drawing by the mask's
// alpha m: 0 keeps the destination, 255 takes the drawing exactly.
std::uint32_t MaskPixel(std::uint32_t dest, std::uint32_t drawn, int m)
{
    using namespace pixel;
    if (m == 0) return dest;
    const int keep = 255 - m;
    return Place(Mix(Channel(drawn, 24), Channel(dest, 24), keep), 24) |
           Place(Mix(Channel(drawn, 16), Channel(dest, 16), keep), 16) |
           Place(Mix(Channel(drawn, 8), Channel(dest, 8), keep), 8) |
           Place(Mix(Channel(drawn, 0), Channel(dest, 0), keep), 0);
}

} // namespace

void RotatePixels(IBitmap& dest, const PixelRect& destArea, const PixelRect& clip, const IBitmap& src,
                  const PixelRect& sourceArea, double degrees, PixelMode mode, float weight)
{
    const PixelRect area = destArea.Intersect(clip).Intersect(BoundsOf(dest));
    TurnInto(dest, area, CentreOf(destArea.left, destArea.right), CentreOf(destArea.top, destArea.bottom), src,
             sourceArea, degrees, mode, weight);
}

void RotateMaskedPixels(IBitmap& dest, const PixelRect& destArea, const PixelRect& clip, const IBitmap& src,
                        const PixelRect& sourceArea, const IBitmap& mask, const PixelRect& maskArea,
                        double degrees, PixelMode mode, float weight, IMemoryBitmap& scratch)
{
    const PixelRect area = destArea.Intersect(clip).Intersect(BoundsOf(dest));
    const PixelRect stencil = maskArea.Intersect(BoundsOf(mask));
    if (area.IsEmpty() || stencil.IsEmpty() || !dest.Pixels() || !mask.Pixels()) return;

    // The drawing is made on a copy of what is there, so that it meets the
    // destination as an unmasked one would; the mask then mixes it in.
    scratch.Resize(area.Width(), area.Height());
    if (!scratch.Pixels() || scratch.Width() != area.Width() || scratch.Height() != area.Height()) return;
    BlitPixels(scratch, dest, 0, 0, &area, 1.0f, kPixelOverwrite);
    const double centreX = CentreOf(destArea.left, destArea.right) - area.left;
    const double centreY = CentreOf(destArea.top, destArea.bottom) - area.top;
    if (!TurnInto(scratch, BoundsOf(scratch), centreX, centreY, src, sourceArea, degrees, mode, weight)) return;

    for (int y = area.top; y < area.bottom; ++y) {
        std::uint32_t* row = RowOf(dest, y);
        const std::uint32_t* drawn = RowOf(scratch, y - area.top);
        const std::int64_t my = std::int64_t{y} - destArea.top + maskArea.top;
        for (int x = area.left; x < area.right; ++x) {
            const std::int64_t mx = std::int64_t{x} - destArea.left + maskArea.left;
            const int m = stencil.Contains(mx, my)
                              ? pixel::Channel(RowOf(mask, static_cast<int>(my))[mx], 24)
                              : 0;
            row[x] = MaskPixel(row[x], drawn[x - area.left], m);
        }
    }
}

} // namespace mg
