#include "PluginModule.h"

#if defined(_WIN32)
#include "platform/WindowsApi.h"
#endif

namespace mg {

#if defined(_WIN32)

namespace {
ModuleHandle recordedModule = nullptr;
} // namespace

// Without the DLL's start-up hook the pedal lives in a program of its own
// (the benchmark runner), which carries the images itself.
ModuleHandle PluginModule() { return recordedModule ? recordedModule : GetModuleHandleA(nullptr); }
void RecordPluginModule(ModuleHandle module) { recordedModule = module; }

#else

// Generated from the images at build time.
const ResourceModule* PedalResources();

ModuleHandle PluginModule() { return PedalResources(); }
void RecordPluginModule(ModuleHandle) {}

#endif

} // namespace mg
