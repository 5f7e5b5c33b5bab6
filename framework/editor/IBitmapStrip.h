#pragma once
// What a control keeps of an image: the decoded bitmap (owned by the image
// cache, not by the strip) and how many frames are stacked in it, top to
// bottom.
#include "core/Numbers.h"
#include "raster/IBitmap.h"

namespace mg {

struct IBitmapStrip {
    const IBitmap* bitmap = nullptr;
    int width = 0;
    int height = 0; // of the whole image
    int frames = 1;
    // The image resource it came from (0: none), so that the editor can
    // draw the same image from the set of its current scale.
    int resourceId = 0;
    const char* fileName = nullptr;

    int FrameCount() const { return frames > 1 ? frames : 1; }
    // Height of one frame, as controls size themselves.
    int FrameHeight() const { return height / FrameCount(); }

    // First row of frame k (counted from 1). Rounded from the exact share of
    // the height, so frames of an image whose height is not a multiple of
    // the count still start where the artwork puts them.
    int FrameTop(int k) const
    {
        return TruncToInt(0.5 + static_cast<double>(height) * (k - 1) / FrameCount());
    }
};

// The frame (1..frameCount) that shows a normalised value: the nearest one,
// a value exactly halfway taking the upper.
inline int FrameForValue(double value, int frameCount)
{
    if (frameCount <= 1) return 1;
    const int frame = 1 + TruncToInt(0.5 + (frameCount - 1) * value);
    return frame < 1 ? 1 : (frame > frameCount ? frameCount : frame);
}

} // namespace mg
