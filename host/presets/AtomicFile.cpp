#include "AtomicFile.h"

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <system_error>

#include "Failure.h"
#include "Text.h"

#ifdef _WIN32
#include <io.h>
#include <process.h>
#else
#include <unistd.h>
#endif

namespace mg::host {
namespace {

int ProcessId()
{
#ifdef _WIN32
    return _getpid();
#else
    return static_cast<int>(getpid());
#endif
}

// Without this a crash of the machine right after the rename could leave an
// empty file under the new name on some file systems.
bool FlushToDisk(std::FILE* file)
{
    if (std::fflush(file) != 0)
        return false;
#ifdef _WIN32
    return _commit(_fileno(file)) == 0;
#else
    return fsync(fileno(file)) == 0;
#endif
}

} // namespace

void WriteFileAtomically(const std::string& path, const std::vector<std::uint8_t>& bytes, const std::string& what)
{
    const std::filesystem::path target(path);
    // Hidden, and named by our process so two writers never share one.
    std::string name = target.filename().string();
    name.insert(0, 1, '.');
    name.append(".").append(std::to_string(ProcessId())).append(".tmp");
    std::filesystem::path temporary = target;
    temporary.replace_filename(name);

    std::FILE* file = std::fopen(temporary.string().c_str(), "wb");
    if (!file)
        throw Failure("cannot write " + what + " " + Quoted(path) + ": cannot create a file in its folder");
    const bool written = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size() && FlushToDisk(file);
    const bool closed = std::fclose(file) == 0;
    std::error_code ec;
    if (written && closed)
        std::filesystem::rename(temporary, target, ec);
    if (!written || !closed || ec) {
        std::error_code ignored;
        std::filesystem::remove(temporary, ignored);
        throw Failure("cannot write " + what + " " + Quoted(path) + (ec ? ": " + ec.message() : std::string()));
    }
}

std::vector<std::uint8_t> ReadWholeFile(const std::string& path, std::uintmax_t maxBytes, const std::string& what)
{
    std::error_code ec;
    if (std::filesystem::is_directory(path, ec))
        throw Failure(what + " " + Quoted(path) + " is a directory");
    const std::uintmax_t size = std::filesystem::file_size(path, ec);
    if (ec)
        throw Failure("cannot read " + what + " " + Quoted(path) + ": " + ec.message());
    if (size > maxBytes)
        throw Failure(what + " " + Quoted(path) + " is too large (" + std::to_string(size) + " bytes; at most " +
                      std::to_string(maxBytes) + ")");
    std::ifstream file(path, std::ios::binary);
    if (!file)
        throw Failure("cannot read " + what + " " + Quoted(path));
    std::vector<std::uint8_t> bytes((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    if (file.bad() || bytes.size() > maxBytes)
        throw Failure("cannot read " + what + " " + Quoted(path));
    return bytes;
}

} // namespace mg::host
