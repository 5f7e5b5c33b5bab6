#include "LiveLoop.h"

#include <poll.h>
#include <signal.h>
#include <sys/eventfd.h>
#include <sys/signalfd.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <thread>

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
    sigaddset(&set, SIGHUP);
    return set;
}

} // namespace

StopEvents::StopEvents()
{
    const sigset_t set = StopSignals();
    pthread_sigmask(SIG_BLOCK, &set, nullptr);
    signalFd_ = signalfd(-1, &set, SFD_CLOEXEC);
    shutdownFd_ = eventfd(0, EFD_CLOEXEC);
    settingsFd_ = eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
    if (signalFd_ < 0 || shutdownFd_ < 0 || settingsFd_ < 0)
        throw host::Failure("cannot set up the signal handling");
}

StopEvents::~StopEvents()
{
    if (signalFd_ >= 0)
        close(signalFd_);
    if (shutdownFd_ >= 0)
        close(shutdownFd_);
    if (settingsFd_ >= 0)
        close(settingsFd_);
}

void StopEvents::WhileConnecting(const std::function<void()>& connect)
{
    const int doneFd = eventfd(0, EFD_CLOEXEC);
    if (doneFd < 0)
        throw host::Failure("cannot set up the signal handling");
    // Made after the signals were blocked: it takes them from the descriptor.
    std::thread watch([this, doneFd] {
        pollfd fds[] = {{signalFd_, POLLIN, 0}, {doneFd, POLLIN, 0}};
        while (poll(fds, 2, -1) < 0 && errno == EINTR) {
        }
        if (fds[0].revents & POLLIN) {
            std::fputs("mg-live: stopped while connecting to the JACK server\n", stderr);
            _exit(1);
        }
    });
    const auto finish = [&] {
        const std::uint64_t one = 1;
        if (write(doneFd, &one, sizeof one) < 0) {
            // An eventfd write of 1 fails only on overflow: never here.
        }
        watch.join();
        close(doneFd);
    };
    try {
        connect();
    } catch (...) {
        finish();
        throw;
    }
    finish();
}

StopReason StopEvents::Wait(EditorWindow* window, const std::function<void()>& settingsChanged)
{
    auto nextIdle = Clock::now();
    for (;;) {
        pollfd fds[] = {{signalFd_, POLLIN, 0},
                        {shutdownFd_, POLLIN, 0},
                        {settingsFd_, POLLIN, 0},
                        {window ? window->Fd() : -1, POLLIN, 0}};
        int timeout = -1;
        if (window) {
            const auto wait = std::chrono::ceil<std::chrono::milliseconds>(nextIdle - Clock::now());
            timeout = static_cast<int>(std::max<long long>(0, wait.count()));
        }
        poll(fds, 4, timeout);
        if (fds[0].revents & POLLIN)
            return StopReason::Signal;
        if (fds[1].revents & POLLIN)
            return StopReason::ServerGone;
        std::uint64_t notices = 0;
        if ((fds[2].revents & POLLIN) && read(settingsFd_, &notices, sizeof notices) == sizeof notices)
            settingsChanged(); // once for any number of notices: it reads the latest settings
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
