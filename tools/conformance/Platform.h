#pragma once
// What the conformance tool needs from the operating system: loading a
// plug-in library and finding its entry point (mg-host's loader), and
// running two functions at once (the Windows cross build has no std::thread).
#include "PluginLibrary.h"

namespace mg::conformance {

using loader::Library;

// Runs both functions on threads of their own and waits for both.
void RunTogether(void (*first)(void*), void* firstArgument, void (*second)(void*), void* secondArgument);

} // namespace mg::conformance
