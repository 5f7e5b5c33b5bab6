#pragma once
// The module that holds the pedal's images: the DLL's own instance handle on
// Windows (recorded by the library's start-up hook; the program's own where
// the pedal is linked into a program), the table of images compiled into
// the library elsewhere.
#include "raster/Resources.h"

namespace mg {

ModuleHandle PluginModule();
void RecordPluginModule(ModuleHandle module);

} // namespace mg
