#include "clap/ClapEntry.h"

#include <cstring>

#include "core/ReentrantLock.h"

namespace mg {

namespace {

// Plug-ins are created one at a time in the process.
ReentrantLock& CreationLock()
{
    static ReentrantLock lock;
    return lock;
}

std::uint32_t CLAP_CALL PluginCount(const clap::plugin_factory_t*)
{
    return static_cast<std::uint32_t>(ClapModuleClasses().size());
}

const clap::plugin_descriptor_t* CLAP_CALL PluginDescriptor(const clap::plugin_factory_t*, std::uint32_t index)
{
    const std::span<const ClapClass> classes = ClapModuleClasses();
    return index < classes.size() ? &classes[index].descriptor : nullptr;
}

const clap::plugin_t* CLAP_CALL CreatePlugin(const clap::plugin_factory_t*, const clap::host_t* host,
                                             const char* id)
{
    // The host is asked for nothing here: its extensions are for init.
    if (!host || !id) return nullptr;
    for (const ClapClass& entry : ClapModuleClasses()) {
        if (std::strcmp(entry.descriptor.id, id) != 0) continue;
        LockGuard guard(CreationLock());
        try {
            IClapPlugin* plugin = entry.create(host);
            plugin->SetDescriptor(&entry.descriptor);
            return plugin->ClapRecord();
        } catch (...) {
            return nullptr;
        }
    }
    return nullptr;
}

constexpr clap::plugin_factory_t kFactory{&PluginCount, &PluginDescriptor, &CreatePlugin};

} // namespace

// The module needs no setting up, so any number of inits and deinits, in
// any order, are fine.
bool CLAP_CALL ClapModuleInit(const char*) { return true; }

void CLAP_CALL ClapModuleDeinit() {}

const void* CLAP_CALL ClapModuleFactory(const char* id)
{
    return id && std::strcmp(id, clap::kPluginFactoryId) == 0 ? &kFactory : nullptr;
}

} // namespace mg
