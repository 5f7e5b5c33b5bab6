#pragma once
// A control that shows the frame of its image strip matching its value:
// the LED, the background, and the base of switches and contacts.
#include "editor/IBitmapStrip.h"
#include "editor/IControl.h"

namespace mg {

class IBitmapControl : public IControl {
public:
    // Placed by its top-left corner; one frame high.
    IBitmapControl(IAudioPlugin* owner, int x, int y, int parameterIndex, const IBitmapStrip& strip,
                   int blendMethod = IBlendSpec::kBlend);

    bool Draw(IGraphics& graphics) override;

    const IBitmapStrip& Strip() const { return strip_; }
    int CurrentFrame() const { return FrameForValue(Value(), strip_.FrameCount()); }

protected:
    IBitmapStrip strip_;
};

// The draw rectangle of one frame of `strip` with its top-left at x, y.
IRectangle FrameRectAt(int x, int y, const IBitmapStrip& strip);

} // namespace mg
