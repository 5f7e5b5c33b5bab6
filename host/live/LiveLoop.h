#pragma once
// mg-live's main thread once the audio runs: it waits for a reason to stop
// (SIGINT, SIGTERM, SIGHUP, the JACK server gone, the window closed) and
// meanwhile serves the editor window (its X events, and the editor's idle
// call or timers 50 times a second) and the server's new settings.
#include <functional>

namespace mg::live {

class EditorWindow;

enum class StopReason { Signal, ServerGone, WindowClosed };

// SIGINT, SIGTERM and SIGHUP (the terminal closed) blocked for the whole
// process (so every thread made after it inherits that) and read from a
// descriptor instead; plus descriptors for the JACK callbacks to write to.
// Make it before any thread.
class StopEvents {
public:
    StopEvents();
    ~StopEvents();
    StopEvents(const StopEvents&) = delete;
    StopEvents& operator=(const StopEvents&) = delete;

    int ShutdownFd() const { return shutdownFd_; }
    int SettingsFd() const { return settingsFd_; }

    // Runs `connect` (which may wait on a server that does not answer); a
    // stop signal meanwhile ends the program, as there is nothing to keep yet.
    void WhileConnecting(const std::function<void()>& connect);

    // Waits; `window` may be null. `settingsChanged` runs on this thread
    // for every notice on SettingsFd(); what it throws ends the wait.
    StopReason Wait(EditorWindow* window, const std::function<void()>& settingsChanged);

private:
    int signalFd_ = -1;
    int shutdownFd_ = -1;
    int settingsFd_ = -1;
};

} // namespace mg::live
