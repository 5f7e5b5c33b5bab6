// Resource lookup in a table compiled into the binary (non-Windows builds).
#include "raster/Resources.h"

namespace mg {

namespace {

char Upper(char c)
{
    return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;
}

// Resource type names are case-insensitive on Windows; the table keeps that.
bool SameType(const char* a, const char* b)
{
    for (; *a && *b; ++a, ++b) {
        if (Upper(*a) != Upper(*b)) return false;
    }
    return *a == *b;
}

} // namespace

ResourceBytes FindResourceBytes(ModuleHandle module, int id, const char* type)
{
    if (!module || !module->entries || !type) return {};
    for (std::size_t i = 0; i < module->count; ++i) {
        const EmbeddedResource& e = module->entries[i];
        if (e.id == id && e.type && SameType(e.type, type)) {
            if (!e.data) return {};
            return {e.data, e.size};
        }
    }
    return {};
}

} // namespace mg
