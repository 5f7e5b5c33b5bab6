#pragma once
// What the conformance tool needs from the operating system: loading a
// plug-in library, finding its entry point, and running two functions at
// once (the Windows cross build has no std::thread).
#include <memory>
#include <string>

namespace mg::conformance {

class Library {
public:
    using Proc = void (*)();

    // Null, with a reason in `error`, when the file cannot be loaded.
    static std::unique_ptr<Library> Open(const std::string& path, std::string& error);
    virtual ~Library() = default;

    // A function the library itself exports (not one of its dependencies), or null.
    virtual Proc Symbol(const char* name) const = 0;
};

// Runs both functions on threads of their own and waits for both.
void RunTogether(void (*first)(void*), void* firstArgument, void (*second)(void*), void* secondArgument);

} // namespace mg::conformance
