#include "ISwitchControl.h"

namespace mg {

void ISwitchControl::MouseDown(int, int, const IMouseModifiers& modifiers)
{
    if (modifiers.right) {
        PromptForValue();
    } else {
        const int n = strip_.frames;
        SetValue(Value() + (n > 1 ? 1.0 / (n - 1) : 1.0));
    }
    // A little above 1, so that steps adding up to 1 with rounding error
    // still reach the last frame before wrapping.
    if (Value() > 1.001) SetValue(0.0);
    MarkDirty(true);
}

} // namespace mg
