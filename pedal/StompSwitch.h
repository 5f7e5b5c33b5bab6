#pragma once
// The momentary footswitch: it is down only while the mouse holds it. This
// observer turns each press into one toggle of the effect, by working the
// hidden toggle bound to the Effect parameter.
#include "editor/IBitmapStrip.h"
#include "editor/IObserverInterface.h"

namespace mg {

class IAudioPlugin;
class IContactControlNoDblClick;
class IGraphics;
class IHiddenToggleControl;

class StompSwitch : public IObserverInterface {
public:
    static constexpr int kX = 80;
    static constexpr int kY = 172;

    // Creates the footswitch from `strip`, attaches it to `graphics` and
    // starts watching it.
    StompSwitch(IAudioPlugin* plugin, IGraphics& graphics, const IBitmapStrip& strip,
                IHiddenToggleControl& effectToggle);

    void Update() override;

    IContactControlNoDblClick& Footswitch() const { return footswitch_; }

private:
    double previousContact_ = 0.0;
    IHiddenToggleControl& effectToggle_;
    IContactControlNoDblClick& footswitch_;
};

} // namespace mg
