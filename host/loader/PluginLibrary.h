#pragma once
// Loading a plug-in library and finding its exports: what mg-host and
// mg-conformance both need from the operating system to reach a plug-in.
// One implementation per platform (PluginLibraryPosix.cpp, PluginLibraryWin32.cpp).
#include <memory>
#include <string>

namespace mg::loader {

class Library {
public:
    // Any exported function; the caller casts it to the type it expects.
    using Proc = void (*)();

    // Null, with a reason in `error`, when the file cannot be loaded.
    static std::unique_ptr<Library> Open(const std::string& path, std::string& error);

    virtual ~Library() = default;

    // A function the library itself exports, or null. Symbols that only its
    // dependencies define do not count: calling some other `main` would be
    // a disaster.
    virtual Proc Symbol(const char* name) const = 0;

    // The system's handle of the loaded library (what dlopen or LoadLibrary
    // gave), for formats whose entry points take it.
    virtual void* NativeHandle() const = 0;
};

} // namespace mg::loader
