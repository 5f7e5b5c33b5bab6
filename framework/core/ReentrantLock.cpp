#include "ReentrantLock.h"

namespace mg {

#if defined(_WIN32)
ReentrantLock::ReentrantLock() { InitializeCriticalSection(&section_); }
ReentrantLock::~ReentrantLock() { DeleteCriticalSection(&section_); }
void ReentrantLock::lock() { EnterCriticalSection(&section_); }
void ReentrantLock::unlock() { LeaveCriticalSection(&section_); }
bool ReentrantLock::try_lock() { return TryEnterCriticalSection(&section_) != 0; }
#else
ReentrantLock::ReentrantLock() = default;
ReentrantLock::~ReentrantLock() = default;
void ReentrantLock::lock() { mutex_.lock(); }
void ReentrantLock::unlock() { mutex_.unlock(); }
bool ReentrantLock::try_lock() { return mutex_.try_lock(); }
#endif

} // namespace mg
