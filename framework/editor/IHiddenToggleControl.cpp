#include "IHiddenToggleControl.h"

namespace mg {

IHiddenToggleControl::IHiddenToggleControl(IAudioPlugin* owner, const IRectangle& rect, int parameterIndex)
    : IControl(owner, rect, parameterIndex, IBlendSpec{IBlendSpec::kOverwrite, 1.0f})
{
    SetPromptDisabled(true);
}

void IHiddenToggleControl::MouseDown(int, int, const IMouseModifiers&)
{
    SetValue(Value() < 0.5 ? 1.0 : 0.0);
    MarkDirty(true);
}

bool IHiddenToggleControl::Draw(IGraphics&)
{
    return true;
}

} // namespace mg
