#pragma once
// The module's factory: the plug-in classes a library holds (a table, so a
// library can offer more than one), described to hosts and created for them,
// and the exported entry points. Nothing thrown inside crosses back into the
// host.
#include <span>

#include "core/IAudioPlugin.h"
#include "vst3/IVst3Plugin.h"
#include "vst3/Vst3Abi.h"

namespace mg {

struct Vst3Class {
    // Four words chosen once for the class and never changed: hosts save
    // sessions under them.
    vst3::uint32 id[4];
    PluginIdentity identity;
    const char* subCategories;
    IVst3Plugin* (*create)(IVst3Plugin::Host host);
};

struct Vst3ModuleInfo {
    const char* vendor;
    const char* url;
    const char* email;
    const char* version; // major.minor.patch of the whole project
    std::span<const Vst3Class> classes;
};

// The factory for `module`, with a reference for the caller. One factory per
// process: the first module given is the one it serves.
vst3::IPluginFactory* Vst3Factory(const Vst3ModuleInfo& module);
// Gives back what the factory holds of the host (its context), before the
// library goes.
void ForgetVst3Host();

template <class Plugin>
IVst3Plugin* CreateVst3Plugin(IVst3Plugin::Host host)
{
    return new Plugin(host);
}

} // namespace mg

#if defined(_WIN32)
// The library's .def file exports these undecorated.
#  define MG_VST3_EXPORT extern "C"
#  define MG_VST3_MODULE_HOOKS                                                                  \
      MG_VST3_EXPORT bool InitDll() { return true; }                                             \
      MG_VST3_EXPORT bool ExitDll()                                                               \
      {                                                                                           \
          mg::ForgetVst3Host();                                                                   \
          return true;                                                                            \
      }
#else
#  define MG_VST3_EXPORT extern "C" __attribute__((visibility("default")))
#  define MG_VST3_MODULE_HOOKS                                                                  \
      MG_VST3_EXPORT bool ModuleEntry(void*) { return true; }                                    \
      MG_VST3_EXPORT bool ModuleExit()                                                            \
      {                                                                                           \
          mg::ForgetVst3Host();                                                                   \
          return true;                                                                            \
      }
#endif

// Defines the library's entry points for the module `info` (a function
// returning a const Vst3ModuleInfo&).
#define MG_VST3_ENTRY(info)                                                                      \
    MG_VST3_EXPORT mg::vst3::IPluginFactory* MG_VST3_CALL GetPluginFactory()                       \
    {                                                                                             \
        return mg::Vst3Factory(info());                                                           \
    }                                                                                             \
    MG_VST3_MODULE_HOOKS
