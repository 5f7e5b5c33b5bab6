// The editor's scale: which one applies, the switch between image sets and
// the host window's size that goes with it.
#include "IGraphics.h"

#include <atomic>
#include <cstdio>

#include "core/IAudioPlugin.h"
#include "editor/DisplayScale.h"
#include "editor/ScaleChoice.h"
#include "editor/ScaleMenuControl.h"

namespace mg {

int IGraphics::EditorWidth() const { return ToDevice(width_, resizingTo_ ? resizingTo_ : scale_); }

int IGraphics::EditorHeight() const { return ToDevice(height_, resizingTo_ ? resizingTo_ : scale_); }

bool IGraphics::SetDisplayScale(double scale)
{
    const int percent = SnapScalePercent(scale);
    if (percent == 0) {
        // A host that sends nonsense usually sends it again; say so once.
        static std::atomic<bool> told{false};
        if (!told.exchange(true)) std::fprintf(stderr, "Marrow-Grit: ignoring the host's display scale %g\n", scale);
        return false;
    }
    hostScale_ = percent;
    if (userScale_ != 0) return false;
    return ApplyScale(percent) && scale_ == percent;
}

bool IGraphics::SetUserScale(int percent)
{
    if (percent != 0 && ScaleStepIndex(percent) < 0) return false;
    const int before = userScale_;
    userScale_ = percent;
    const int wanted = userScale_ ? userScale_ : (hostScale_ ? hostScale_ : (systemScale_ ? systemScale_ : 100));
    if (ApplyScale(wanted)) return true;
    // The host kept its window's size: so does the editor, and the choice
    // is not made.
    userScale_ = before;
    return false;
}

void IGraphics::ApplyPendingUserScale()
{
    const int percent = pendingUserScale_;
    if (percent < 0) return;
    pendingUserScale_ = -1;
    if (SetUserScale(percent) && !scaleChoiceFile_.empty() && !WriteScaleChoice(scaleChoiceFile_, percent)) {
        static std::atomic<bool> told{false};
        if (!told.exchange(true))
            std::fprintf(stderr, "Marrow-Grit: cannot keep the editor's size in %s\n",
                         scaleChoiceFile_.string().c_str());
    }
    // The menu's lit row follows.
    if (scaleMenu_) scaleMenu_->MarkDirty(false);
}

void IGraphics::AttachScaleMenu()
{
    if (scaleMenu_) return;
    auto* menu = new ScaleMenuControl(owner_, width_, height_);
    AttachControl(menu);
    menu->SetHidden(true);
    scaleMenu_ = menu;
}

bool IGraphics::OpenScaleMenu(int x, int y, const IMouseModifiers& modifiers, int hit)
{
    if (!scaleMenu_ || !modifiers.right || scaleMenu_->IsOpen()) return false;
    const IControl* control = ControlAt(hit);
    if (control && control != background_) return false;
    scaleMenu_->Open(x, y);
    return true;
}

void IGraphics::SetSystemScale(int percent)
{
    systemScale_ = ScaleStepIndex(percent) >= 0 ? percent : 0;
    if (userScale_ == 0 && hostScale_ == 0) ApplyScale(systemScale_ ? systemScale_ : 100);
}

bool IGraphics::ApplyScale(int percent)
{
    if (percent == scale_) return true;
    // Every image's set of the new scale first: a step without art is no step.
    std::vector<const IBitmap*> bitmaps;
    for (const ScaledImage& image : images_) {
        const IBitmap* bitmap = CachedImage(ScaledResourceId(image.id, percent), image.fileName);
        if (!bitmap) return false;
        bitmaps.push_back(bitmap);
    }
    ScaleChanging();
    if (IsWindowOpen()) {
        resizingTo_ = percent;
        const bool resized = ResizeHostWindow(ToDevice(width_, percent), ToDevice(height_, percent));
        resizingTo_ = 0;
        if (!resized) return false;
    }
    for (std::size_t i = 0; i < images_.size(); ++i) images_[i].bitmap = bitmaps[i];
    scale_ = percent;
    if (surface_) CreateDrawSurface();
    MarkAllControlsDirty();
    if (owner_) owner_->EditorSizeChanged(EditorWidth(), EditorHeight());
    return true;
}

bool IGraphics::ResizeHostWindow(int width, int height)
{
    return !owner_ || owner_->ResizeHostWindow(width, height);
}

const IBitmap* IGraphics::DeviceBitmap(const IBitmapStrip& strip) const
{
    if (scale_ == 100 || strip.resourceId == 0) return strip.bitmap;
    for (const ScaledImage& image : images_)
        if (image.id == strip.resourceId) return image.bitmap;
    return strip.bitmap;
}

} // namespace mg
