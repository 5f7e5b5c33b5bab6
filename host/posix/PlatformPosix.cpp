#include "../Platform.h"

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

} // namespace mg::host
