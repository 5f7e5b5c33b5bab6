#pragma once
// A press steps the value through the frames and wraps to the first: a
// two-frame switch toggles 0 <-> 1, a three-frame one cycles 0, 0.5, 1.
#include "editor/IBitmapControl.h"

namespace mg {

class ISwitchControl : public IBitmapControl {
public:
    using IBitmapControl::IBitmapControl;

    // The right button opens the value prompt instead of stepping; either
    // way the value is pushed.
    void MouseDown(int x, int y, const IMouseModifiers& modifiers) override;
};

} // namespace mg
