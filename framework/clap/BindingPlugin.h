#pragma once
// The plug-in class an effect derives from when its sources are built into
// a CLAP module: the binding chosen by the library being built.
#include "clap/IClapPlugin.h"

namespace mg {

using BindingPlugin = IClapPlugin;

} // namespace mg
