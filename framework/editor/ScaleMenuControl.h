#pragma once
// The editor's size menu: a small panel the editor draws itself, so that it
// looks and works the same in every host and on every platform. It lists
// AUTO (the host's or the system's scale) and every offered size; the row
// of the user's choice is lit and a dot marks the size in use. A right-button
// press on the editor's background opens it at the pointer (IGraphics routes
// that press); a left press on a row picks it, any other press closes it.
// Closed, it is hidden and draws nothing.
#include "editor/IControl.h"

namespace mg {

class ScaleMenuControl : public IControl {
public:
    static constexpr int kRowHeight = 14;
    static constexpr int kPanelWidth = 58;
    static constexpr int kRows = 8; // AUTO and the seven steps

    // Covers the whole editor of `width` x `height` logical pixels while open.
    ScaleMenuControl(IAudioPlugin* owner, int width, int height);

    // Opens with the panel's top-left at the point, moved inside the editor.
    void Open(int x, int y);
    void Close();
    bool IsOpen() const { return !IsHidden(); }
    const IRectangle& Panel() const { return panel_; }
    // The percentage a row stands for (0: AUTO) at a point; -1 off the rows.
    int PercentAt(int x, int y) const;

    bool Draw(IGraphics& graphics) override;
    bool HitTest(int x, int y) override { return IsOpen() && DrawRect().Contains(x, y); }
    void MouseDown(int x, int y, const IMouseModifiers& modifiers) override;
    void MouseDoubleClick(int, int, const IMouseModifiers&) override {}
    void MouseWheel(int, int, const IMouseModifiers&, int) override {}

private:
    IRectangle panel_;
};

} // namespace mg
