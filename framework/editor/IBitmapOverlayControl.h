#pragma once
// An image shown over the editor while on. While off it draws nothing and
// only its hotspot answers the mouse; while shown the whole image does, and
// a press anywhere on it hides it again.
#include "editor/ISwitchControl.h"

namespace mg {

class IBitmapOverlayControl : public ISwitchControl {
public:
    IBitmapOverlayControl(IAudioPlugin* owner, int x, int y, int parameterIndex, const IBitmapStrip& strip,
                          const IRectangle& hotspot, int blendMethod = IBlendSpec::kBlend);

    bool Draw(IGraphics& graphics) override;

    const IRectangle& Hotspot() const { return hotspot_; }

private:
    IRectangle hotspot_;
};

} // namespace mg
