#pragma once
// Writing a file so that readers see either the old contents or the new,
// never half of them: the bytes go to a temporary file in the same folder,
// are flushed to the disk, and the temporary file is renamed over the target.
#include <cstdint>
#include <string>
#include <vector>

namespace mg::host {

// Throws Failure naming `what` (e.g. "preset file") and the path. On failure
// the target is untouched and the temporary file is removed.
void WriteFileAtomically(const std::string& path, const std::vector<std::uint8_t>& bytes, const std::string& what);

// Reads a whole file of at most `maxBytes`; a larger one is refused before
// it is read. Throws Failure naming `what` and the path.
std::vector<std::uint8_t> ReadWholeFile(const std::string& path, std::uintmax_t maxBytes, const std::string& what);

} // namespace mg::host
