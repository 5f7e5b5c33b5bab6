#pragma once
// GoogleTest's start signal for the threads it makes, on a Win32 event. Its
// own version needs std::mutex, which this compiler's Win32 thread model
// lacks; the build includes this header first in GoogleTest and the tests
// (with GTEST_HAS_NOTIFICATION_ set, so GoogleTest takes this one).
#include "platform/WindowsApi.h"

namespace testing::internal {

class Notification {
public:
    Notification() : event_(CreateEventA(nullptr, TRUE, FALSE, nullptr)) {}
    ~Notification() { CloseHandle(event_); }
    Notification(const Notification&) = delete;
    Notification& operator=(const Notification&) = delete;

    void Notify() { SetEvent(event_); }
    void WaitForNotification() { WaitForSingleObject(event_, INFINITE); }

private:
    HANDLE event_;
};

} // namespace testing::internal
