#pragma once
// mg-live's main thread once the audio runs: it waits for a reason to stop
// (SIGINT, SIGTERM, the JACK server gone, the window closed) and meanwhile
// serves the editor window: its X events and effEditIdle 50 times a second.
namespace mg::live {

class EditorWindow;

enum class StopReason { Signal, ServerGone, WindowClosed };

// SIGINT and SIGTERM blocked for the whole process (so every thread made
// after it inherits that) and read from a descriptor instead; plus a
// descriptor for the JACK shutdown callback to write to. Make it before any
// thread.
class StopEvents {
public:
    StopEvents();
    ~StopEvents();
    StopEvents(const StopEvents&) = delete;
    StopEvents& operator=(const StopEvents&) = delete;

    int ShutdownFd() const { return shutdownFd_; }
    // Waits; `window` may be null.
    StopReason Wait(EditorWindow* window);

private:
    int signalFd_ = -1;
    int shutdownFd_ = -1;
};

} // namespace mg::live
