#pragma once
// The little the host needs from the operating system: loading a plug-in
// library and finding its exports, whether stderr is a terminal, whether
// there is a display.
// One implementation per platform (posix/, win32/).
#include <memory>
#include <string>

namespace mg::host {

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
};

bool StderrIsTerminal();

// Whether a plug-in could open a window here. Many plug-ins build their
// editor to answer effEditGetRect, and some crash doing so without a
// display, so the host only asks when there is one.
bool HaveDisplay();

} // namespace mg::host
