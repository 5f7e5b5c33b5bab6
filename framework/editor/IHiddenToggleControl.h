#pragma once
// A control without an image: a press toggles it between 0 and 1 and pushes
// the value. Kept hidden, it lets other editor code (the footswitch's
// observer) drive a parameter through the ordinary control path.
#include "editor/IControl.h"

namespace mg {

class IHiddenToggleControl : public IControl {
public:
    IHiddenToggleControl(IAudioPlugin* owner, const IRectangle& rect, int parameterIndex);

    // Any button toggles; there is no value prompt.
    void MouseDown(int x, int y, const IMouseModifiers& modifiers) override;
    bool Draw(IGraphics& graphics) override;
};

} // namespace mg
