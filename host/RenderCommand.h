#pragma once
// `mg-host render PLUGIN IN OUT`: plays a sound file through the plug-in
// block by block, as a host's audio thread would, and writes the result.
#include "CommandLine.h"

namespace mg::host {

int RunRender(const RenderOptions& options);

} // namespace mg::host
