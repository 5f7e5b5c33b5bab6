// Resource lookup in the DLL's own resource section.
#include "raster/Resources.h"

namespace mg {

ResourceBytes FindResourceBytes(ModuleHandle module, int id, const char* type)
{
    // Numeric ids are 16 bits; anything else would be read as a name pointer.
    if (!module || !type || id < 0 || id > 0xFFFF) return {};
    HRSRC found = FindResourceA(module, MAKEINTRESOURCEA(id), type);
    if (!found) return {};
    const DWORD size = SizeofResource(module, found);
    HGLOBAL loaded = LoadResource(module, found);
    if (!loaded) return {};
    const void* data = LockResource(loaded);
    if (!data) return {};
    return {static_cast<const unsigned char*>(data), static_cast<std::size_t>(size)};
}

} // namespace mg
