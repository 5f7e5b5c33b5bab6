// The redraw cycle: collect the dirty controls, draw only what meets their
// area, present it; and the timer tick that drives it.
#include "IGraphics.h"

#include "editor/IControl.h"

namespace mg {

bool IGraphics::CollectDirtyArea(IRectangle& area)
{
    area = IRectangle{};
    bool dirty = false;
    // By index: an observer may change values or attach controls.
    for (std::size_t i = 0; i < controlList_.size(); ++i) {
        IControl* control = controlList_[i].get();
        // Observers hear of every change once per tick, dirty or not.
        control->NotifyObservers();
        if (control->IsDirty()) {
            area = area.Union(control->DrawRect());
            dirty = true;
        }
    }
    return dirty;
}

bool IGraphics::DrawDirtyArea(const IRectangle& area)
{
    if (controlList_.empty()) return true;
    drawArea_ = area;
    for (std::size_t i = 0; i < controlList_.size(); ++i) {
        IControl* control = controlList_[i].get();
        if (!control->IsHidden() && area.Intersects(control->DrawRect())) control->Draw(*this);
    }
    for (std::size_t i = 0; i < controlList_.size(); ++i) controlList_[i]->ClearDirty();
    return PresentArea(area);
}

void IGraphics::RepaintArea(const IRectangle& area)
{
    DrawDirtyArea(area);
}

void IGraphics::RedrawTick()
{
    ApplyPendingUserScale();
    if (TextEntryOpen()) {
        // While the box has the keyboard the editor stands still.
        if (entryState_ == TextEntryState::Focused) return;
        if (entryState_ != TextEntryState::None) {
            TextEntryStep();
            return;
        }
    }
    IRectangle area;
    if (!CollectDirtyArea(area)) return;
    RepaintArea(area);
    // The box follows the value it edits.
    if (TextEntryOpen()) entryState_ = TextEntryState::Refresh;
}

void IGraphics::MarkAllControlsDirty()
{
    for (std::size_t i = 0; i < controlList_.size(); ++i) controlList_[i]->MarkDirty(false);
}

} // namespace mg
