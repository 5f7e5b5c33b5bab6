#pragma once
// A value that one thread writes and another reads without a shared lock:
// host threads store control values and redraw flags under the plug-in lock
// while the editor's timer reads them without it. Each access is a relaxed
// atomic load or store, so no torn reads and no data race, and no ordering
// is promised beyond that: a late value is simply drawn on the next tick.
#include <atomic>

namespace mg {

template <class T>
class RelaxedAtomic {
public:
    constexpr RelaxedAtomic(T value = T{}) noexcept : value_(value) {}
    RelaxedAtomic(const RelaxedAtomic&) = delete;
    RelaxedAtomic& operator=(const RelaxedAtomic&) = delete;

    T Load() const noexcept { return value_.load(std::memory_order_relaxed); }
    void Store(T value) noexcept { value_.store(value, std::memory_order_relaxed); }
    T Exchange(T value) noexcept { return value_.exchange(value, std::memory_order_relaxed); }

    // Lets `value_ = value_ + step` read like plain arithmetic.
    operator T() const noexcept { return Load(); }
    RelaxedAtomic& operator=(T value) noexcept
    {
        Store(value);
        return *this;
    }

private:
    std::atomic<T> value_;
};

} // namespace mg
