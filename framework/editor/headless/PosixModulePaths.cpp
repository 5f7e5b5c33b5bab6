// Folders of the host program and of the shared object holding this code,
// on Unix systems (the X11 and the headless window backends).
#include <climits>
#include <cstdlib>
#include <cstring>

#include <dlfcn.h>
#include <unistd.h>

#include "core/FixedText.h"
#include "editor/IWindowBackend.h"

namespace mg {

namespace {

// Any object of this library: its address tells dladdr which file we are.
const char kModuleAnchor = 0;

// `out` becomes the folder of `path` with its trailing separator; empty when
// the path has no folder part or the folder does not fit.
void FolderOf(const char* path, char* out, std::size_t capacity)
{
    CopyBounded(out, capacity, "");
    if (!path) return;
    const char* slash = std::strrchr(path, '/');
    if (!slash || slash[1] == '\0') return;
    const std::size_t length = static_cast<std::size_t>(slash - path) + 1;
    if (length >= capacity) return;
    std::memcpy(out, path, length);
    out[length] = '\0';
}

} // namespace

void HostProgramFolder(char* out, std::size_t capacity)
{
    CopyBounded(out, capacity, "");
#if defined(__linux__)
    char path[4096] = {};
    const ssize_t n = readlink("/proc/self/exe", path, sizeof path - 1);
    if (n <= 0) return;
    path[n] = '\0';
    FolderOf(path, out, capacity);
#endif
}

void ModuleFolder(ModuleHandle, char* out, std::size_t capacity)
{
    CopyBounded(out, capacity, "");
    Dl_info info{};
    if (dladdr(&kModuleAnchor, &info) == 0 || !info.dli_fname) return;
    // The loader reports the name it was given, which may be relative to a
    // working folder that has changed since.
    char resolved[PATH_MAX] = {};
    FolderOf(realpath(info.dli_fname, resolved) ? resolved : info.dli_fname, out, capacity);
}

} // namespace mg
