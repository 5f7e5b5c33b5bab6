#include "IControl.h"

#include <cmath>

#include "core/IAudioPlugin.h"
#include "editor/IGraphics.h"

namespace mg {

IControl::IControl(IAudioPlugin* owner, const IRectangle& drawRect, int parameterIndex, const IBlendSpec& blend)
    : owner_(owner), drawRect_(drawRect), targetRect_(drawRect), parameterIndex_(parameterIndex), blend_(blend)
{
}

IControl::~IControl() = default;

void IControl::MouseDown(int, int, const IMouseModifiers& modifiers)
{
    if (modifiers.right) PromptForValue();
}

void IControl::MouseUp(int, int, const IMouseModifiers&) {}

void IControl::MouseDrag(int, int, int, int, const IMouseModifiers&) {}

void IControl::MouseDoubleClick(int, int, const IMouseModifiers&)
{
    const double restore = defaultValue_;
    if (restore < 0.0) return;
    value_ = restore;
    MarkDirty(true);
}

void IControl::MouseWheel(int, int, const IMouseModifiers& modifiers, int notches)
{
    const double step = (modifiers.shift || modifiers.control) ? 0.001 : 0.01;
    value_ = value_ + notches * step;
    MarkDirty(true);
}

void IControl::KeyPress(int, int, int) {}

void IControl::MouseHover(int, int, const IMouseModifiers&) {}

void IControl::MouseLeave() {}

void IControl::SetValueFromPlugin(double value)
{
    if (defaultValue_ < 0.0) {
        // The first value from the plug-in side is what a double click
        // restores; it is taken even when it equals the current value.
        defaultValue_ = value;
    } else if (value == value_) {
        return;
    }
    value_ = value;
    MarkDirty(false);
    redrawPending_ = true;
}

void IControl::SetHidden(bool hidden)
{
    hidden_ = hidden;
    redrawPending_ = true;
    MarkDirty(false);
}

void IControl::SetGrayed(bool grayed)
{
    grayed_ = grayed;
    blend_.weight = grayed ? 0.25f : 1.0f;
    MarkDirty(false);
}

bool IControl::HitTest(int x, int y)
{
    return targetRect_.Contains(x, y);
}

void IControl::MarkDirty(bool push)
{
    double v = value_;
    if (std::isnan(v)) {
        v = lowerClamp_; // a value that is no number would reach the parameter and the frame choice
    } else if (v < lowerClamp_) {
        v = lowerClamp_;
    } else if (v > upperClamp_) {
        v = upperClamp_;
    }
    value_ = v;
    dirty_ = true;
    SetNotificationPending();
    if (push && owner_ && parameterIndex_ >= 0) owner_->SetParameterFromGUI(parameterIndex_, v);
}

void IControl::ClearDirty()
{
    dirty_ = redrawPending_.Exchange(false);
}

bool IControl::IsDirty() const
{
    return dirty_;
}

void IControl::PromptForValue()
{
    if (parameterIndex_ < 0 || promptDisabled_) return;
    if (!owner_) {
        if (graphics_) graphics_->PromptForParameterValue(this, nullptr);
    } else {
        // The box shows the parameter's value, which host threads change
        // under the plug-in lock.
        LockGuard guard(owner_->Lock());
        if (graphics_) graphics_->PromptForParameterValue(this, owner_->ParameterAt(parameterIndex_));
    }
    redrawPending_ = true;
}

void IControl::SetValueAndPush(double value)
{
    if (value == value_) return;
    value_ = value;
    MarkDirty(true);
    redrawPending_ = true;
}

void IControl::SetClamp(double lower, double upper)
{
    lowerClamp_ = lower;
    upperClamp_ = upper;
}

} // namespace mg
