#pragma once
// Fixed-size, NUL-terminated texts. Every copy into one is bounded: a text
// longer than the buffer is cut, never written past the end.
#include <cstddef>
#include <cstring>

namespace mg {

inline void CopyBounded(char* dst, std::size_t capacity, const char* src)
{
    if (!dst || capacity == 0) return;
    std::size_t n = 0;
    if (src) {
        while (n + 1 < capacity && src[n] != '\0') ++n;
        std::memcpy(dst, src, n);
    }
    dst[n] = '\0';
}

template <std::size_t N>
inline void CopyBounded(char (&dst)[N], const char* src)
{
    CopyBounded(dst, N, src);
}

// Length of a text that may lack its terminator inside a buffer of `capacity` bytes.
inline std::size_t BoundedLength(const char* src, std::size_t capacity)
{
    std::size_t n = 0;
    if (src) while (n < capacity && src[n] != '\0') ++n;
    return n;
}

} // namespace mg
