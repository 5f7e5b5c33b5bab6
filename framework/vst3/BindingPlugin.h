#pragma once
// The plug-in class an effect derives from when its sources are built into
// a VST 3 module: the binding chosen by the library being built.
#include "vst3/IVst3Plugin.h"

namespace mg {

using BindingPlugin = IVst3Plugin;

} // namespace mg
