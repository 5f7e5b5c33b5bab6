#include "../Platform.h"

#include <cstdio>
#include <io.h>

namespace mg::host {

bool StderrIsTerminal()
{
    return _isatty(_fileno(stderr)) != 0;
}

bool HaveDisplay()
{
    return true; // a desktop session always has one
}

void FailOversizedWrites()
{
    // Windows has no file-size limit that kills a process.
}

} // namespace mg::host
