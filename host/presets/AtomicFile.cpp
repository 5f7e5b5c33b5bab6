#include "AtomicFile.h"

#include <cerrno>
#include <filesystem>
#include <system_error>

#include "Failure.h"
#include "ReplaceContents.h"
#include "Text.h"

namespace mg::host {
namespace {

namespace fs = std::filesystem;

// Links are followed once, here, to the file they name, so the new contents
// reach that file and the link stays a link.
fs::path FollowLinks(fs::path path)
{
    constexpr int kMaxHops = 40; // as the kernel's own limit
    for (int hop = 0; hop < kMaxHops; ++hop) {
        std::error_code ec;
        if (!fs::is_symlink(fs::symlink_status(path, ec)))
            return path;
        const fs::path to = fs::read_symlink(path, ec);
        if (ec)
            throw std::system_error(ec);
        path = to.is_absolute() ? to : path.parent_path() / to;
    }
    throw std::system_error(std::make_error_code(std::errc::too_many_symbolic_link_levels));
}

} // namespace

fs::path TemporaryName(const fs::path& target, std::uint32_t random)
{
    using Native = fs::path::string_type;
    constexpr std::size_t kMaxName = 255;
    static constexpr char kDigits[] = "0123456789abcdef";
    Native suffix{'.'};
    for (int shift = 28; shift >= 0; shift -= 4)
        suffix.push_back(static_cast<Native::value_type>(kDigits[(random >> shift) & 0xf]));
    for (char c : std::string(".tmp"))
        suffix.push_back(static_cast<Native::value_type>(c));
    Native name{'.'};
    name += target.filename().native().substr(0, kMaxName - 1 - suffix.size());
    name += suffix;
    return target.parent_path() / fs::path(name);
}

void WriteFileAtomically(const std::string& path, const std::vector<std::uint8_t>& bytes, const std::string& what)
{
    try {
        ReplaceContents(FollowLinks(path), bytes);
    } catch (const std::system_error& error) {
        throw Failure("cannot write " + what + " " + Quoted(path) + ": " + error.code().message());
    }
}

} // namespace mg::host
