#pragma once
// The platform half of WriteFileAtomically (AtomicFile.h): one file
// replaced by new contents through a temporary file beside it.
#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

namespace mg::host {

// Throws std::system_error with the system's reason. `target` names no link.
void ReplaceContents(const std::filesystem::path& target, const std::vector<std::uint8_t>& bytes);

// A hidden name beside `target` with `random` in it, within the 255 bytes
// (or UTF-16 units) file systems allow for a name, however long the
// target's own name is.
std::filesystem::path TemporaryName(const std::filesystem::path& target, std::uint32_t random);

// Attempts at a name nobody holds before giving up.
constexpr int kTemporaryNameTries = 16;

} // namespace mg::host
