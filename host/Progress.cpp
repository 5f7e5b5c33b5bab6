#include "Progress.h"

#include <cstdio>

#include "Platform.h"

namespace mg::host {

Progress::Progress(std::int64_t totalFrames, bool enabled)
    : total_(totalFrames), enabled_(enabled && totalFrames > 0), terminal_(StderrIsTerminal())
{
}

void Progress::Update(std::int64_t doneFrames)
{
    if (!enabled_)
        return;
    const int percent = static_cast<int>(doneFrames * 100 / total_);
    const int step = terminal_ ? percent : percent / 10 * 10;
    if (step == shown_)
        return;
    shown_ = step;
    if (terminal_)
        std::fprintf(stderr, "\rmg-host: rendering %3d%%", step);
    else if (step > 0)
        std::fprintf(stderr, "mg-host: rendering %d%%\n", step);
}

void Progress::Finish()
{
    if (!enabled_)
        return;
    Update(total_);
    if (terminal_)
        std::fputc('\n', stderr);
}

} // namespace mg::host
