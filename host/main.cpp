// mg-host: a command-line VST 2.4 host for inspecting plug-ins and
// rendering sound files through them.
#include <cstdio>
#include <exception>
#include <new>

#include "CommandLine.h"
#include "Failure.h"
#include "InfoCommand.h"
#include "RenderCommand.h"
#include "Text.h"
#include "Usage.h"

#ifndef MG_HOST_VERSION
#  define MG_HOST_VERSION "0"
#endif

namespace {

int Fail(const char* message, int code)
{
    std::fflush(stdout);
    std::fprintf(stderr, "mg-host: error: %s\n", mg::host::Printable(message).c_str());
    return code;
}

} // namespace

int main(int argc, char** argv)
{
    using namespace mg::host;
    try {
        const Command command = ParseCommandLine(argc, argv);
        switch (command.kind) {
        case Command::Kind::Help:
            std::fputs(UsageText(), stdout);
            return 0;
        case Command::Kind::Version:
            std::printf("mg-host %s\n", MG_HOST_VERSION);
            return 0;
        case Command::Kind::Info:
            return RunInfo(command.info, stdout);
        case Command::Kind::Render:
            return RunRender(command.render);
        }
    } catch (const Failure& failure) {
        return Fail(failure.what(), failure.ExitCode());
    } catch (const std::bad_alloc&) {
        return Fail("out of memory", 1);
    } catch (const std::exception& e) {
        return Fail(e.what(), 1);
    }
    return 0;
}
