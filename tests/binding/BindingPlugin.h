#pragma once
// The plug-in class an effect derives from when its sources are built
// against the in-process test binding.
#include "IInProcessPlugin.h"

namespace mg {

using BindingPlugin = test::IInProcessPlugin;

} // namespace mg
