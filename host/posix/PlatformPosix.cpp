#include "../Platform.h"

#include <csignal>
#include <cstdlib>
#include <unistd.h>

namespace mg::host {

bool StderrIsTerminal()
{
    return isatty(STDERR_FILENO) == 1;
}

bool HaveDisplay()
{
    const char* display = std::getenv("DISPLAY");
    return display && *display;
}

void FailOversizedWrites()
{
    std::signal(SIGXFSZ, SIG_IGN);
}

} // namespace mg::host
