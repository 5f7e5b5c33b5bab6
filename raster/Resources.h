#pragma once
// Finding the bytes of an image resource stored in the plug-in binary.
//
// On Windows the module is the DLL's instance handle and the bytes come from
// its resource section. Elsewhere there are no such resources; the build
// compiles the files into a table instead (mg_embed_resources in
// cmake/EmbedResources.cmake) and the module handle points at that table.
#include <cstddef>

#if defined(_WIN32)
#  include "platform/WindowsApi.h"
#endif

namespace mg {

struct EmbeddedResource {
    int id;
    const char* type; // e.g. "PNG"; matched without regard to case
    const unsigned char* data;
    std::size_t size;
};

struct ResourceModule {
    const EmbeddedResource* entries;
    std::size_t count;
};

#if defined(_WIN32)
using ModuleHandle = HINSTANCE;
#else
using ModuleHandle = const ResourceModule*;
#endif

// Read-only bytes of one resource; they live as long as the module.
struct ResourceBytes {
    const unsigned char* data = nullptr;
    std::size_t size = 0;

    bool Empty() const { return !data || size == 0; }
};

// The resource with numeric `id` and type name `type`, or empty when the
// module, the id or the type is missing or the resource cannot be loaded.
ResourceBytes FindResourceBytes(ModuleHandle module, int id, const char* type);

} // namespace mg
