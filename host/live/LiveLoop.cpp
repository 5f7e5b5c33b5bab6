#include "LiveLoop.h"

#include <poll.h>
#include <signal.h>
#include <sys/eventfd.h>
#include <sys/signalfd.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>

#include "EditorWindow.h"
#include "Failure.h"

namespace mg::live {
namespace {

using Clock = std::chrono::steady_clock;
constexpr auto kIdlePeriod = std::chrono::milliseconds(20);

sigset_t StopSignals()
{
    sigset_t set;
    sigemptyset(&set);
    sigaddset(&set, SIGINT);
    sigaddset(&set, SIGTERM);
    return set;
}

} // namespace

StopEvents::StopEvents()
{
    const sigset_t set = StopSignals();
    pthread_sigmask(SIG_BLOCK, &set, nullptr);
    signalFd_ = signalfd(-1, &set, SFD_CLOEXEC);
    shutdownFd_ = eventfd(0, EFD_CLOEXEC);
    if (signalFd_ < 0 || shutdownFd_ < 0)
        throw host::Failure("cannot set up the signal handling");
}

StopEvents::~StopEvents()
{
    if (signalFd_ >= 0)
        close(signalFd_);
    if (shutdownFd_ >= 0)
        close(shutdownFd_);
}

StopReason StopEvents::Wait(EditorWindow* window)
{
    auto nextIdle = Clock::now();
    for (;;) {
        pollfd fds[] = {{signalFd_, POLLIN, 0}, {shutdownFd_, POLLIN, 0}, {window ? window->Fd() : -1, POLLIN, 0}};
        int timeout = -1;
        if (window) {
            const auto wait = std::chrono::ceil<std::chrono::milliseconds>(nextIdle - Clock::now());
            timeout = static_cast<int>(std::max<long long>(0, wait.count()));
        }
        poll(fds, 3, timeout);
        if (fds[0].revents & POLLIN)
            return StopReason::Signal;
        if (fds[1].revents & POLLIN)
            return StopReason::ServerGone;
        if (!window)
            continue;
        if (!window->HandleEvents())
            return StopReason::WindowClosed;
        const auto now = Clock::now();
        if (now >= nextIdle) {
            window->Idle();
            // After a stall, tick on from now rather than in a burst.
            nextIdle = std::max(nextIdle + kIdlePeriod, now);
        }
    }
}

} // namespace mg::live
