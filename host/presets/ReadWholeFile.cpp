#include "AtomicFile.h"

#include <sys/stat.h>

#include <cerrno>
#include <cstdio>
#include <memory>
#include <system_error>

#include "Failure.h"
#include "Text.h"

namespace mg::host {
namespace {

struct Closer {
    void operator()(std::FILE* file) const { std::fclose(file); }
};

std::string Reason()
{
    return std::generic_category().message(errno);
}

} // namespace

// One open file answers everything: its kind and size come from the open
// descriptor, so what is read is what was checked.
std::vector<std::uint8_t> ReadWholeFile(const std::string& path, std::uintmax_t maxBytes, const std::string& what)
{
    const std::unique_ptr<std::FILE, Closer> file(std::fopen(path.c_str(), "rb"));
    if (!file)
        throw Failure("cannot read " + what + " " + Quoted(path) + ": " + Reason());
#ifdef _WIN32
    struct _stat64 info {};
    const bool known = _fstat64(_fileno(file.get()), &info) == 0;
#else
    struct stat info {};
    const bool known = fstat(fileno(file.get()), &info) == 0;
#endif
    if (!known)
        throw Failure("cannot read " + what + " " + Quoted(path) + ": " + Reason());
    const auto tooLarge = [&](const std::string& size) {
        return Failure(what + " " + Quoted(path) + " is too large (" + size + "; at most " +
                       std::to_string(maxBytes) + " bytes)");
    };
    if ((info.st_mode & S_IFMT) == S_IFDIR)
        throw Failure(what + " " + Quoted(path) + " is a directory");
    const bool regular = (info.st_mode & S_IFMT) == S_IFREG;
    if (regular && static_cast<std::uintmax_t>(info.st_size) > maxBytes)
        throw tooLarge(std::to_string(info.st_size) + " bytes");

    std::vector<std::uint8_t> bytes;
    if (regular)
        bytes.reserve(static_cast<std::size_t>(info.st_size));
    std::uint8_t buffer[1 << 16];
    for (;;) {
        const std::size_t got = std::fread(buffer, 1, sizeof buffer, file.get());
        if (got > maxBytes - bytes.size())
            throw tooLarge("more than " + std::to_string(maxBytes) + " bytes");
        bytes.insert(bytes.end(), buffer, buffer + got);
        if (got < sizeof buffer)
            break;
    }
    if (std::ferror(file.get()))
        throw Failure("cannot read " + what + " " + Quoted(path) + ": " + Reason());
    return bytes;
}

} // namespace mg::host
