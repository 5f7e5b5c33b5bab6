#include "IBitmapControl.h"

#include "editor/IGraphics.h"

namespace mg {

IRectangle FrameRectAt(int x, int y, const IBitmapStrip& strip)
{
    return IRectangle{x, y, x + strip.width, y + strip.FrameHeight()};
}

IBitmapControl::IBitmapControl(IAudioPlugin* owner, int x, int y, int parameterIndex, const IBitmapStrip& strip,
                               int blendMethod)
    : IControl(owner, FrameRectAt(x, y, strip), parameterIndex, IBlendSpec{blendMethod, 1.0f}), strip_(strip)
{
}

bool IBitmapControl::Draw(IGraphics& graphics)
{
    return graphics.DrawBitmapFrame(strip_, DrawRect(), CurrentFrame(), &Blend());
}

} // namespace mg
