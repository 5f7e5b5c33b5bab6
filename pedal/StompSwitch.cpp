#include "StompSwitch.h"

#include "editor/IContactControl.h"
#include "editor/IGraphics.h"
#include "editor/IHiddenToggleControl.h"

namespace mg {

namespace {

IContactControlNoDblClick& AttachFootswitch(IAudioPlugin* plugin, IGraphics& graphics, const IBitmapStrip& strip)
{
    auto* footswitch = new IContactControlNoDblClick(plugin, StompSwitch::kX, StompSwitch::kY, -1, strip, 0);
    graphics.AttachControl(footswitch);
    return *footswitch;
}

} // namespace

StompSwitch::StompSwitch(IAudioPlugin* plugin, IGraphics& graphics, const IBitmapStrip& strip,
                         IHiddenToggleControl& effectToggle)
    : effectToggle_(effectToggle), footswitch_(AttachFootswitch(plugin, graphics, strip))
{
    footswitch_.AddObserver(this);
}

void StompSwitch::Update()
{
    const double contact = footswitch_.Value();
    // Only the moment the switch goes down counts: holding it or letting go
    // changes nothing.
    if (contact == 1.0 && previousContact_ == 0.0) effectToggle_.SetValueAndPush(1.0 - effectToggle_.Value());
    previousContact_ = contact;
}

} // namespace mg
