#include "IContactControl.h"

namespace mg {

void IContactControl::MouseUp(int, int, const IMouseModifiers&)
{
    SetValue(0.0);
    MarkDirty(true);
}

IContactControlNoDblClick::IContactControlNoDblClick(IAudioPlugin* owner, int x, int y, int parameterIndex,
                                                     const IBitmapStrip& strip, int blendMethod)
    : IContactControl(owner, x, y, parameterIndex, strip, blendMethod)
{
    SetDoubleClickAsPress(true);
}

} // namespace mg
