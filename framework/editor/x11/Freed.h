#pragma once
// XCB hands out replies, errors and events in malloc'd blocks; Freed owns one
// and frees it when it goes.
#include <cstdlib>

namespace mg::x11 {

template <class T>
struct Freed {
    T* p = nullptr;
    explicit Freed(T* pointer) : p(pointer) {}
    ~Freed() { std::free(p); }
    Freed(const Freed&) = delete;
    Freed& operator=(const Freed&) = delete;
    T* operator->() const { return p; }
    explicit operator bool() const { return p != nullptr; }
};

} // namespace mg::x11
