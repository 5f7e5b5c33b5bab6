#pragma once
// The plug-in class an effect derives from when its sources are built into
// an LV2 UI library: the effect's editor, talking to the DSP through ports.
#include "lv2/ui/ILv2UiPlugin.h"

namespace mg {

using BindingPlugin = ILv2UiPlugin;

} // namespace mg
