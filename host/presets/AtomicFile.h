#pragma once
// Files that hold what a user keeps (presets, state), written so that
// readers see either the old contents or the new, never half of them, and
// read with a bound.
#include <cstdint>
#include <string>
#include <vector>

namespace mg::host {

// Writes `bytes` to a new, unguessably named file in the target's folder,
// flushes it to the disk, renames it over the target and syncs the folder.
// A target that is a symbolic link is written through: the file it names is
// replaced and the link stays. An existing target keeps its permissions.
// Throws Failure naming `what` (e.g. "preset file"), the path and the
// system's reason; on failure the target is untouched and no file is left.
void WriteFileAtomically(const std::string& path, const std::vector<std::uint8_t>& bytes, const std::string& what);

// Reads a whole file of at most `maxBytes`: a larger regular file is
// refused before it is read, an endless one (a device, a pipe) once it
// passes the bound. Throws Failure naming `what`, the path and the reason.
std::vector<std::uint8_t> ReadWholeFile(const std::string& path, std::uintmax_t maxBytes, const std::string& what);

} // namespace mg::host
