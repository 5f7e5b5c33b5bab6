#pragma once
// One-line errors for the command line. Thrown inside the host only, never
// through a plug-in's call into us; main() prints them and sets the exit code.
#include <stdexcept>
#include <string>

namespace mg::host {

class Failure : public std::runtime_error {
public:
    explicit Failure(const std::string& message, int exitCode = 1)
        : std::runtime_error(message), exitCode_(exitCode)
    {
    }
    int ExitCode() const { return exitCode_; }

private:
    int exitCode_;
};

// A mistake in the command line itself: exit code 2, as shells expect.
class UsageError : public Failure {
public:
    explicit UsageError(const std::string& message) : Failure(message, 2) {}
};

} // namespace mg::host
