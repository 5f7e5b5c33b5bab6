#pragma once
// The plug-in class an effect derives from when its sources are built into
// a VST 2.4 library. Every binding has a header of this name at the top of
// its include root, so the library being built picks the effect's base.
#include "vst/IVstPlugin.h"

namespace mg {

using BindingPlugin = IVstPlugin;

} // namespace mg
