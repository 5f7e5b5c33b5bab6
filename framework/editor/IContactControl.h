#pragma once
// Momentary contacts: a press steps the value like a switch, the release
// sets it back to 0, so a two-frame contact reads 1 only while held.
#include "editor/ISwitchControl.h"

namespace mg {

class IContactControl : public ISwitchControl {
public:
    using ISwitchControl::ISwitchControl;

    void MouseUp(int x, int y, const IMouseModifiers& modifiers) override;
};

// A contact that takes a double click as one more press, so quick
// successive presses (a footswitch stamped twice) each count.
class IContactControlNoDblClick : public IContactControl {
public:
    IContactControlNoDblClick(IAudioPlugin* owner, int x, int y, int parameterIndex, const IBitmapStrip& strip,
                              int blendMethod = IBlendSpec::kBlend);
};

} // namespace mg
