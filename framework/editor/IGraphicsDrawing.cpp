// The drawing family for effects that draw by hand: the editor's colours,
// rectangles and IBlendSpecs handed to the raster layer, clipped to the area
// being redrawn.
#include "IGraphics.h"

#include "raster/DrawCircle.h"
#include "raster/DrawLine.h"
#include "raster/DrawSpans.h"
#include "raster/RotatePixels.h"
#include "raster/ScalePixels.h"

namespace mg {

namespace {

PixelRect PixelRectOf(const IRectangle& r)
{
    return {r.left, r.top, r.right, r.bottom};
}

PixelPaint PaintOf(const IColourARGB& colour, const IBlendSpec* blend)
{
    const IBlendSpec how = blend ? *blend : IBlendSpec{};
    return {colour.Pixel(), how.Mode(), how.weight};
}

// The strip's top frame; the whole image when it has one.
PixelRect TopFrameOf(const IBitmapStrip& strip)
{
    return {0, 0, strip.width, strip.FrameHeight()};
}

} // namespace

bool IGraphics::RotateBitmapInto(const IBitmapStrip& strip, const IRectangle& destination, double degrees,
                                 const IBlendSpec* blend)
{
    if (!surface_) return false;
    if (!strip.bitmap) return true;
    const IBlendSpec how = blend ? *blend : IBlendSpec{};
    RotatePixels(*surface_, PixelRectOf(destination), PixelRectOf(drawArea_), *strip.bitmap, TopFrameOf(strip),
                 degrees, how.Mode(), how.weight);
    return true;
}

bool IGraphics::RotateMaskedBitmapInto(const IBitmapStrip& strip, const IBitmapStrip& mask,
                                       const IRectangle& destination, double degrees, const IBlendSpec* blend)
{
    if (!surface_ || !scratch_) return false;
    if (!strip.bitmap || !mask.bitmap) return true;
    const IBlendSpec how = blend ? *blend : IBlendSpec{};
    RotateMaskedPixels(*surface_, PixelRectOf(destination), PixelRectOf(drawArea_), *strip.bitmap,
                       TopFrameOf(strip), *mask.bitmap, TopFrameOf(mask), degrees, how.Mode(), how.weight,
                       *scratch_);
    return true;
}

bool IGraphics::PlotPoint(const IColourARGB& colour, int x, int y, const IBlendSpec* blend)
{
    return surface_ && PlotPixel(*surface_, PixelRectOf(drawArea_), PaintOf(colour, blend), x, y);
}

bool IGraphics::StrokeLine(const IColourARGB& colour, int x1, int y1, int x2, int y2, const IBlendSpec* blend)
{
    if (!surface_) return false;
    DrawLine(*surface_, PixelRectOf(drawArea_), PaintOf(colour, blend), x1, y1, x2, y2);
    return true;
}

bool IGraphics::StrokeArc(const IColourARGB& colour, int centreX, int centreY, int radius, double startDegrees,
                          double endDegrees, const IBlendSpec* blend)
{
    if (!surface_) return false;
    DrawArc(*surface_, PixelRectOf(drawArea_), PaintOf(colour, blend), centreX, centreY, radius, startDegrees,
            endDegrees);
    return true;
}

bool IGraphics::StrokeCircle(const IColourARGB& colour, int centreX, int centreY, int radius,
                             const IBlendSpec* blend)
{
    if (!surface_) return false;
    DrawCircle(*surface_, PixelRectOf(drawArea_), PaintOf(colour, blend), centreX, centreY, radius);
    return true;
}

std::unique_ptr<IMemoryBitmap> IGraphics::ScaledCopy(const IBitmap& source, int width, int height)
{
    return ScalePixels(source, width, height);
}

bool IGraphics::VerticalSpan(const IColourARGB& colour, int x, int y1, int y2, const IBlendSpec* blend)
{
    if (!surface_) return false;
    DrawVerticalSpan(*surface_, PixelRectOf(drawArea_), PaintOf(colour, blend), x, y1, y2);
    return true;
}

bool IGraphics::HorizontalSpan(const IColourARGB& colour, int y, int x1, int x2, const IBlendSpec* blend)
{
    if (!surface_) return false;
    DrawHorizontalSpan(*surface_, PixelRectOf(drawArea_), PaintOf(colour, blend), y, x1, x2);
    return true;
}

} // namespace mg
