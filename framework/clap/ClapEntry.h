#pragma once
// The module's side of CLAP: the entry the host finds by name, and the
// plug-in factory over a table of the module's plug-in classes (one
// descriptor each). The module defines the table and the exported entry:
//
//   std::span<const mg::ClapClass> mg::ClapModuleClasses() { return kClasses; }
//   MG_CLAP_ENTRY()
#include <span>

#include "clap/ClapAbi.h"
#include "clap/IClapPlugin.h"

namespace mg {

struct ClapClass {
    clap::plugin_descriptor_t descriptor;
    IClapPlugin* (*create)(IClapPlugin::Host host);
};

template <class Plugin>
IClapPlugin* CreateClapPlugin(IClapPlugin::Host host)
{
    return new Plugin(host);
}

// Defined by the module.
std::span<const ClapClass> ClapModuleClasses();

bool CLAP_CALL ClapModuleInit(const char* path);
void CLAP_CALL ClapModuleDeinit();
const void* CLAP_CALL ClapModuleFactory(const char* id);

} // namespace mg

#if defined(_WIN32)
#  define MG_CLAP_EXPORT extern "C" __declspec(dllexport)
#else
#  define MG_CLAP_EXPORT extern "C" __attribute__((visibility("default")))
#endif

// The exported entry, a data object. Declared on its own: a const object
// defined inside a braced extern "C" block would have internal linkage and
// never reach the host.
#define MG_CLAP_ENTRY()                                                                                          \
    MG_CLAP_EXPORT const clap::plugin_entry_t clap_entry{clap::kVersion, &mg::ClapModuleInit,                 \
                                                         &mg::ClapModuleDeinit, &mg::ClapModuleFactory};
