#pragma once
// Creation of an instance for the library's exported entry points.
#include <new>

#include "core/ReentrantLock.h"
#include "vst/IVstPlugin.h"

namespace mg {

// Instances are created one at a time in the process.
ReentrantLock& InstanceCreationLock();

template <class Plugin>
vst::AEffect* CreateVstInstance(vst::HostCallback host)
{
    LockGuard guard(InstanceCreationLock());
    Plugin* plugin = nullptr;
    try {
        plugin = new Plugin(host);
    } catch (...) {
        return nullptr;
    }
    plugin->EnsureOnePreset();
    vst::AEffect* effect = plugin->Effect();
    if (effect->numPrograms < 1) effect->numPrograms = 1;
    return effect;
}

} // namespace mg

#if defined(_WIN32)
// Windows exports both names through the library's .def file.
#  define MG_VST_EXPORT extern "C"
#  define MG_VST_MAIN_ALIAS(Plugin)
#else
#  define MG_VST_EXPORT extern "C" __attribute__((visibility("default")))
// Hosts look for VSTPluginMain and then for main; the second name is given
// to the same code by an assembler label, as a C++ function cannot be main.
#  define MG_VST_MAIN_ALIAS(Plugin)                                                         \
      MG_VST_EXPORT vst::AEffect* MgVstMainAlias(vst::HostCallback host) __asm__("main");   \
      MG_VST_EXPORT vst::AEffect* MgVstMainAlias(vst::HostCallback host)                    \
      {                                                                                     \
          return mg::CreateVstInstance<Plugin>(host);                                       \
      }
#endif

// Defines the library's entry points for one plug-in class.
#define MG_VST_ENTRY(Plugin)                                                                \
    MG_VST_EXPORT vst::AEffect* VST_CALL VSTPluginMain(vst::HostCallback host)              \
    {                                                                                       \
        return mg::CreateVstInstance<Plugin>(host);                                         \
    }                                                                                       \
    MG_VST_MAIN_ALIAS(Plugin)
