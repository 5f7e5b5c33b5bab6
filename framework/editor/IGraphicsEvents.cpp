// Routing of mouse and key events to controls, and the host's edit gestures
// around a press on a bound control.
#include "IGraphics.h"

#include "core/IAudioPlugin.h"
#include "editor/IControl.h"

namespace mg {

int IGraphics::HitTestControl(int x, int y) const
{
    if (captured_ >= 0) return captured_;
    // Topmost first: later controls are drawn over earlier ones.
    for (int i = ControlCount() - 1; i >= 0; --i) {
        IControl* control = controlList_[static_cast<std::size_t>(i)].get();
        if (control->IsHidden() || control->IsGrayed()) continue;
        if (control->HitTest(x, y)) return i;
    }
    return -1;
}

void IGraphics::MouseDown(int x, int y, const IMouseModifiers& modifiers)
{
    captured_ = -1;
    lastX_ = -1;
    lastY_ = -1;
    const int i = HitTestControl(x, y);
    if (OpenScaleMenu(x, y, modifiers, i) || i < 0) return;
    captured_ = i;
    lastX_ = x;
    lastY_ = y;
    IControl* control = controlList_[static_cast<std::size_t>(i)].get();
    control->MouseDown(x, y, modifiers);
    if (owner_ && control->ParameterIndex() >= 0) owner_->BeginHostEdit(control->ParameterIndex());
}

void IGraphics::MouseUp(int x, int y, const IMouseModifiers& modifiers)
{
    // While a control is captured the release goes to it wherever it is.
    const int i = HitTestControl(x, y);
    captured_ = -1;
    lastX_ = -1;
    lastY_ = -1;
    IControl* control = ControlAt(i);
    if (!control) return;
    control->MouseUp(x, y, modifiers);
    if (owner_ && control->ParameterIndex() >= 0) owner_->EndHostEdit(control->ParameterIndex());
}

void IGraphics::MouseDrag(int x, int y, const IMouseModifiers& modifiers)
{
    IControl* control = ControlAt(captured_);
    if (!control) return;
    if (x == lastX_ && y == lastY_) return;
    const int dx = x - lastX_;
    const int dy = y - lastY_;
    lastX_ = x;
    lastY_ = y;
    control->MouseDrag(x, y, dx, dy, modifiers);
}

bool IGraphics::MouseDoubleClick(int x, int y, const IMouseModifiers& modifiers)
{
    captured_ = -1;
    lastX_ = -1;
    lastY_ = -1;
    const int i = HitTestControl(x, y);
    IControl* control = ControlAt(i);
    if (!control) return false;
    if (!control->DoubleClickAsPress()) {
        control->MouseDoubleClick(x, y, modifiers);
        return false;
    }
    // A second press: no new edit gesture is begun, the release ends one.
    captured_ = i;
    lastX_ = x;
    lastY_ = y;
    control->MouseDown(x, y, modifiers);
    return true;
}

void IGraphics::MouseWheel(int x, int y, const IMouseModifiers& modifiers, int notches)
{
    if (IControl* control = ControlAt(HitTestControl(x, y))) control->MouseWheel(x, y, modifiers, notches);
}

void IGraphics::KeyPress(int x, int y, int keyCode)
{
    if (IControl* control = ControlAt(HitTestControl(x, y))) control->KeyPress(x, y, keyCode);
}

bool IGraphics::MouseHover(int x, int y, const IMouseModifiers& modifiers)
{
    if (!hoverTracking_) return false;
    const int i = HitTestControl(x, y);
    IControl* control = ControlAt(i);
    if (!control) return true;
    lastX_ = x;
    lastY_ = y;
    control->MouseHover(x, y, modifiers);
    if (hovered_ != i)
        if (IControl* previous = ControlAt(hovered_)) previous->MouseLeave();
    hovered_ = i;
    return true;
}

void IGraphics::MouseLeave()
{
    for (std::size_t i = 0; i < controlList_.size(); ++i) controlList_[i]->MouseLeave();
    hovered_ = -1;
}

} // namespace mg
