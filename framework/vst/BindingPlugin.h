#pragma once
// The plug-in class an effect derives from when its sources are built into
// a VST 2.4 library. Every binding has a header of this name at the top of
// its include root, so the library being built picks the effect's base. The
// class it names derives from IAudioPlugin, names as `Host` what its entry
// point hands an effect's constructor, and is constructed from (host,
// parameter count, channel string, preset count, PluginIdentity,
// PluginOptions).
#include "vst/IVstPlugin.h"

namespace mg {

using BindingPlugin = IVstPlugin;

} // namespace mg
