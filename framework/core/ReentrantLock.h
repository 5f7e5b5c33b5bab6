#pragma once
// The re-entrant lock behind the plug-in lock and the process-wide locks:
// a critical section on Windows, a recursive mutex elsewhere.
#if defined(_WIN32)
#  include "platform/WindowsApi.h"
#else
#  include <mutex>
#endif

namespace mg {

class ReentrantLock {
public:
    ReentrantLock();
    ~ReentrantLock();
    ReentrantLock(const ReentrantLock&) = delete;
    ReentrantLock& operator=(const ReentrantLock&) = delete;

    void lock();
    void unlock();
    bool try_lock();

private:
#if defined(_WIN32)
    CRITICAL_SECTION section_;
#else
    std::recursive_mutex mutex_;
#endif
};

// Scope guard; works with any lock that has lock() and unlock().
template <class Lock>
class LockGuard {
public:
    explicit LockGuard(Lock& lock) : lock_(lock) { lock_.lock(); }
    ~LockGuard() { lock_.unlock(); }
    LockGuard(const LockGuard&) = delete;
    LockGuard& operator=(const LockGuard&) = delete;

private:
    Lock& lock_;
};

} // namespace mg
