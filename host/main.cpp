// mg-host: a command-line VST 2.4 host for inspecting plug-ins and
// rendering sound files through them.
#include <cstdio>

#include "CommandLine.h"
#include "Guarded.h"
#include "InfoCommand.h"
#include "Platform.h"
#include "RenderCommand.h"
#include "Usage.h"

#ifndef MG_HOST_VERSION
#  define MG_HOST_VERSION "0"
#endif

int main(int argc, char** argv)
{
    using namespace mg::host;
    FailOversizedWrites();
    return Guarded("mg-host", [&] {
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
        return 0;
    });
}
