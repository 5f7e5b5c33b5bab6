#include "IBitmapOverlayControl.h"

namespace mg {

IBitmapOverlayControl::IBitmapOverlayControl(IAudioPlugin* owner, int x, int y, int parameterIndex,
                                             const IBitmapStrip& strip, const IRectangle& hotspot,
                                             int blendMethod)
    : ISwitchControl(owner, x, y, parameterIndex, strip, blendMethod), hotspot_(hotspot)
{
}

bool IBitmapOverlayControl::Draw(IGraphics& graphics)
{
    // What answers the mouse follows what is on screen, so it changes when
    // the overlay is drawn, not when it is clicked.
    if (Value() < 0.5) {
        SetTargetRect(hotspot_);
        return true;
    }
    SetTargetRect(DrawRect());
    return IBitmapControl::Draw(graphics);
}

} // namespace mg
