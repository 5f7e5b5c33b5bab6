#include "PluginModule.h"

namespace mg {

#if defined(_WIN32)

namespace {
ModuleHandle recordedModule = nullptr;
} // namespace

ModuleHandle PluginModule() { return recordedModule; }
void RecordPluginModule(ModuleHandle module) { recordedModule = module; }

#else

// Generated from the images at build time.
const ResourceModule* PedalResources();

ModuleHandle PluginModule() { return PedalResources(); }
void RecordPluginModule(ModuleHandle) {}

#endif

} // namespace mg
