#pragma once
// Knobs: dragging the pointer turns the value. IKnobControl holds the drag
// rule; IKnobMultiControl shows it as a frame of an image strip.
#include "editor/IBitmapStrip.h"
#include "editor/IControl.h"

namespace mg {

class IKnobControl : public IControl {
public:
    enum Direction : int { kVertical = 0, kHorizontal = 1 };

    // `gearing` is how many control lengths of drag span the whole range.
    IKnobControl(IAudioPlugin* owner, const IRectangle& drawRect, int parameterIndex,
                 int direction = kVertical, double gearing = 4.0, const IBlendSpec& blend = IBlendSpec{});

    // Up (or right) raises the value; shift or control make the knob ten
    // times faster.
    void MouseDrag(int x, int y, int dx, int dy, const IMouseModifiers& modifiers) override;

    int DragDirection() const { return direction_; }
    double Gearing() const { return gearing_; }

private:
    int direction_;
    double gearing_;
};

class IKnobMultiControl : public IKnobControl {
public:
    // Placed by its top-left corner; one frame high.
    IKnobMultiControl(IAudioPlugin* owner, int x, int y, int parameterIndex, const IBitmapStrip& strip,
                      int direction = kVertical, double gearing = 4.0);

    bool Draw(IGraphics& graphics) override;

    const IBitmapStrip& Strip() const { return strip_; }
    int CurrentFrame() const { return FrameForValue(Value(), strip_.FrameCount()); }

private:
    IBitmapStrip strip_;
};

} // namespace mg
