#pragma once
// The little the host needs from the operating system: loading a plug-in
// library and finding its exports (the loader shared with mg-conformance),
// whether stderr is a terminal, whether there is a display.
// One implementation per platform (posix/, win32/).
#include "PluginLibrary.h"

namespace mg::host {

using loader::Library;

bool StderrIsTerminal();

// Whether a plug-in could open a window here. Many plug-ins build their
// editor to answer effEditGetRect, and some crash doing so without a
// display, so the host only asks when there is one.
bool HaveDisplay();

// Under a file-size limit (ulimit -f) a write that passes it fails with an
// error the program reports and cleans up after, instead of killing the
// program halfway through a file. Call first thing in main().
void FailOversizedWrites();

} // namespace mg::host
