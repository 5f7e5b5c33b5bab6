// mg-host's command line from anywhere: the input split at NUL bytes into
// arguments. Every command line is either understood or refused with a
// usage error; nothing else may escape, and what is understood stays
// within the limits the host promises.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "CommandLine.h"
#include "Failure.h"

namespace {

[[noreturn]] void Fail(const char* what)
{
    std::fprintf(stderr, "fuzz_command_line: %s\n", what);
    std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    std::vector<std::string> words{"mg-host"};
    std::string word;
    for (std::size_t i = 0; i < size; ++i) {
        if (data[i] == 0) {
            words.push_back(word);
            word.clear();
        } else {
            word.push_back(static_cast<char>(data[i]));
        }
    }
    if (!word.empty()) words.push_back(word);
    std::vector<const char*> argv;
    for (const auto& w : words) argv.push_back(w.c_str());
    argv.push_back(nullptr);

    using namespace mg::host;
    try {
        const Command command = ParseCommandLine(static_cast<int>(words.size()), argv.data());
        if (command.kind == Command::Kind::Render) {
            const RenderOptions& r = command.render;
            if (r.block < 1 || r.block > kMaxBlock) Fail("block size outside its limits");
            if (!(r.tailSeconds >= 0.0 && r.tailSeconds <= kMaxTailSeconds)) Fail("tail outside its limits");
            for (const auto& p : r.settings.params)
                if (!(p.value >= 0.0 && p.value <= 1.0)) Fail("parameter value outside 0..1");
        }
    } catch (const UsageError&) {
        // refused with a reason: what a bad command line should get
    }
    return 0;
}
