#include "editor/win32/WindowMessages.h"

#include <cstring>

namespace mg::win32 {

void FolderOfModulePath(const char* path, char* out, std::size_t capacity)
{
    if (!out || capacity == 0) return;
    out[0] = '\0';
    if (!path) return;
    const char* slash = std::strrchr(path, '\\');
    if (!slash || slash[1] == '\0') return;
    const std::size_t length = static_cast<std::size_t>(slash - path) + 1;
    if (length >= capacity) return;
    std::memcpy(out, path, length);
    out[length] = '\0';
}

} // namespace mg::win32
