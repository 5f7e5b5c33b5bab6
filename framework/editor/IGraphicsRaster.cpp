// Images and pixels: strips from the image cache, the draw surface, blits
// clipped to the area being redrawn, and a few drawing primitives.
#include "IGraphics.h"

#include <utility>

#include "core/Assert.h"
#include "editor/IBitmapControl.h"
#include "editor/DisplayScale.h"
#include "editor/IControl.h"
#include "editor/ImageCache.h"
#include "raster/BlendPixel.h"
#include "raster/BlitPixels.h"

namespace mg {

// ---- images ------------------------------------------------------------------

const IBitmap* IGraphics::CachedImage(int id, const char* fileName)
{
    ImageCache& cache = ImageCache::Instance();
    // Held across the decode, so two editors asking at once decode it once.
    LockGuard guard(cache.Lock());
    if (const IBitmap* bitmap = cache.Find(id)) return bitmap;
    std::unique_ptr<IBitmap> decoded = DecodeImageResource(id, fileName);
    return decoded ? cache.Add(id, std::move(decoded)) : nullptr;
}

IBitmapStrip IGraphics::LoadBitmapStrip(int id, const char* fileName, int frameCount)
{
    const IBitmap* bitmap = CachedImage(id, fileName);
    // The images are built into the library: one that does not decode
    // is a broken build, not something to carry on from.
    const bool imgResourceFound = bitmap != nullptr;
    MG_ASSERT(imgResourceFound);
    bool known = false;
    for (const ScaledImage& image : images_) known = known || image.id == id;
    if (!known) {
        const IBitmap* scaled = scale_ == 100 ? bitmap : CachedImage(ScaledResourceId(id, scale_), fileName);
        images_.push_back(ScaledImage{id, fileName, scaled ? scaled : bitmap});
    }
    return IBitmapStrip{bitmap, bitmap->Width(), bitmap->Height(), frameCount > 1 ? frameCount : 1, id, fileName};
}

void IGraphics::AttachBackgroundImage(int id, const char* fileName)
{
    const IBitmapStrip strip = LoadBitmapStrip(id, fileName, 1);
    auto background = std::make_unique<IBitmapControl>(owner_, 0, 0, -1, strip, IBlendSpec::kOverwrite);
    background->graphics_ = this;
    background_ = background.get();
    controlList_.insert(controlList_.begin(), std::move(background));
    if (captured_ >= 0) ++captured_;
    if (hovered_ >= 0) ++hovered_;
}

void IGraphics::KeepBitmap(IBitmap* bitmap)
{
    ImageCache::Instance().Add(ImageCache::kKeptId, std::unique_ptr<IBitmap>(bitmap));
}

void IGraphics::DropBitmap(IBitmap* bitmap)
{
    ImageCache::Instance().Drop(bitmap);
}

std::unique_ptr<IMemoryBitmap> IGraphics::CroppedCopy(const IBitmap& source, const IRectangle& area)
{
    const IRectangle part = area.Intersect(IRectangle{0, 0, source.Width(), source.Height()});
    if (part.Width() <= 0 || part.Height() <= 0) return nullptr;
    auto copy = std::make_unique<IMemoryBitmap>(part.Width(), part.Height());
    if (!copy->Pixels()) return nullptr;
    const PixelRect rect{part.left, part.top, part.right, part.bottom};
    BlitPixels(*copy, source, 0, 0, &rect, 1.0f, kPixelOverwrite);
    return copy;
}

// ---- surface -----------------------------------------------------------------

bool IGraphics::CreateDrawSurface()
{
    if (surface_) {
        surface_->Resize(EditorWidth(), EditorHeight());
    } else {
        surface_ = std::make_unique<ISystemBitmap>(EditorWidth(), EditorHeight());
    }
    if (!scratch_) scratch_ = std::make_unique<IMemoryBitmap>();
    return surface_->Pixels() != nullptr;
}

std::uint32_t* IGraphics::SurfacePixels()
{
    return surface_ ? surface_->Pixels() : nullptr;
}

// ---- drawing -------------------------------------------------------------------

bool IGraphics::DrawBitmapFrame(const IBitmapStrip& strip, const IRectangle& destination, int frame,
                                const IBlendSpec* blend)
{
    const int row = (strip.FrameCount() == 1 || frame <= 1) ? 0 : strip.FrameTop(frame);
    return BlitBitmap(strip, destination, 0, row, blend);
}

bool IGraphics::BlitBitmap(const IBitmapStrip& strip, const IRectangle& destination, int sourceX, int sourceY,
                           const IBlendSpec* blend)
{
    const IBitmap* bitmap = DeviceBitmap(strip);
    if (!bitmap || !surface_) return true;
    IRectangle place = destination;
    IRectangle area = drawArea_;
    if (scale_ != 100) {
        // A frame starts where the set's own frames do: whole frames of the
        // scaled height, the rest of the offset scaled.
        const int frameHeight = strip.FrameHeight();
        const int frame = frameHeight > 0 ? sourceY / frameHeight : 0;
        const int deviceFrameHeight = bitmap->Height() / strip.FrameCount();
        sourceY = frame * deviceFrameHeight + ToDevice(sourceY - frame * frameHeight, scale_);
        sourceX = ToDevice(sourceX, scale_);
        place = ToDevice(destination, scale_);
        area = ToDevice(drawArea_, scale_);
    }
    const IRectangle clipped = place.Intersect(area);
    if (clipped.Width() <= 0 || clipped.Height() <= 0) return true;
    const IBlendSpec how = blend ? *blend : IBlendSpec{};
    const int left = sourceX + clipped.left - place.left;
    const int top = sourceY + clipped.top - place.top;
    const PixelRect source{left, top, left + clipped.Width(), top + clipped.Height()};
    BlitPixels(*surface_, *bitmap, clipped.left, clipped.top, &source, how.weight, how.Mode());
    return true;
}

bool IGraphics::SetPixelRaw(const IColourARGB& colour, int x, int y)
{
    if (!surface_ || !surface_->Pixels()) return false;
    if (x < 0 || y < 0 || x >= surface_->Width() || y >= surface_->Height()) return false;
    surface_->Pixels()[static_cast<std::size_t>(y) * static_cast<std::size_t>(surface_->RowSpan()) +
                       static_cast<std::size_t>(x)] = colour.Pixel();
    return true;
}

bool IGraphics::FillRectangle(const IColourARGB& colour, const IRectangle& rect, const IBlendSpec* blend)
{
    if (!surface_ || !surface_->Pixels()) return false;
    const IRectangle area = ToDevice(rect.Intersect(drawArea_), scale_)
                                .Intersect(IRectangle{0, 0, surface_->Width(), surface_->Height()});
    if (area.Width() <= 0 || area.Height() <= 0) return true;

    const IBlendSpec how = blend ? *blend : IBlendSpec{};
    const bool overwrite = how.method == IBlendSpec::kOverwrite;
    const float weight = how.weight > 1.0f ? 1.0f : how.weight;
    const int w = weight > 0.0f ? static_cast<int>(weight * 256.0f) : 0;
    if (w <= 0) return true;
    const std::uint32_t pixel = colour.Pixel();
    for (int y = area.top; y < area.bottom; ++y) {
        std::uint32_t* row = surface_->Pixels() + static_cast<std::size_t>(y) * static_cast<std::size_t>(surface_->RowSpan());
        for (int x = area.left; x < area.right; ++x) {
            std::uint32_t& d = row[x];
            if (overwrite)
                d = pixel;
            else
                d = w >= 256 ? BlendPixelOpaque(d, pixel) : BlendPixelWeighted(d, pixel, w);
        }
    }
    return true;
}

IColourARGB IGraphics::ReadPixel(int x, int y) const
{
    if (!surface_ || !surface_->Pixels()) return IColourARGB{0, 0, 0, 0};
    if (x < 0 || y < 0 || x >= surface_->Width() || y >= surface_->Height()) return IColourARGB{0, 0, 0, 0};
    return IColourARGB::FromPixel(surface_->Pixels()[static_cast<std::size_t>(y) *
                                                         static_cast<std::size_t>(surface_->RowSpan()) +
                                                     static_cast<std::size_t>(x)]);
}

} // namespace mg
