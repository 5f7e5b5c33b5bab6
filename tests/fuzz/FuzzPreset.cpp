// Preset files from anywhere, through the byte reader alone: it either
// refuses them with a Failure or gives a preset that the writer turns into
// bytes of the same length (the layout leaves no slack), which read back to
// the same preset and write out the same bytes again.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <span>
#include <vector>

#include "Failure.h"
#include "PresetBytes.h"

namespace {

[[noreturn]] void Fail(const char* what)
{
    std::fprintf(stderr, "fuzz_preset: %s\n", what);
    std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    using namespace mg::host;
    Preset preset;
    try {
        preset = ParsePreset(std::span<const std::uint8_t>(data, size));
    } catch (const Failure&) {
        return 0;
    }
    const std::vector<std::uint8_t> written = SerializePreset(preset);
    if (written.size() != size)
        Fail("the writer changed the file's length");
    std::vector<std::uint8_t> again;
    try {
        again = SerializePreset(ParsePreset(written));
    } catch (const Failure& failure) {
        std::fprintf(stderr, "fuzz_preset: %s\n", failure.what());
        Fail("the reader refused the writer's own file");
    }
    if (again != written)
        Fail("a written file does not read back the same");
    return 0;
}
