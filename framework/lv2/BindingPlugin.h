#pragma once
// The plug-in class an effect derives from when its sources are built into
// an LV2 plug-in library: the binding chosen by the library being built.
#include "lv2/ILv2Plugin.h"

namespace mg {

using BindingPlugin = ILv2Plugin;

} // namespace mg
