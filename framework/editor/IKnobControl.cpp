#include "IKnobControl.h"

#include "editor/IBitmapControl.h"
#include "editor/IGraphics.h"

namespace mg {

IKnobControl::IKnobControl(IAudioPlugin* owner, const IRectangle& drawRect, int parameterIndex, int direction,
                           double gearing, const IBlendSpec& blend)
    : IControl(owner, drawRect, parameterIndex, blend), direction_(direction), gearing_(gearing)
{
}

void IKnobControl::MouseDrag(int, int, int dx, int dy, const IMouseModifiers& modifiers)
{
    double g = gearing_;
    if (modifiers.shift || modifiers.control) g *= 0.1;
    const IRectangle& r = DrawRect();
    // Screen rows grow downwards, hence top - bottom for the vertical span.
    const double span = direction_ == kVertical ? r.top - r.bottom : r.right - r.left;
    const int delta = direction_ == kVertical ? dy : dx;
    if (span == 0.0 || g == 0.0) return; // no length to measure the drag against
    SetValue(Value() + delta / span / g);
    MarkDirty(true);
}

IKnobMultiControl::IKnobMultiControl(IAudioPlugin* owner, int x, int y, int parameterIndex,
                                     const IBitmapStrip& strip, int direction, double gearing)
    : IKnobControl(owner, FrameRectAt(x, y, strip), parameterIndex, direction, gearing), strip_(strip)
{
}

bool IKnobMultiControl::Draw(IGraphics& graphics)
{
    return graphics.DrawBitmapFrame(strip_, DrawRect(), CurrentFrame(), &Blend());
}

} // namespace mg
