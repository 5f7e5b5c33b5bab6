#pragma once
// Text across the interface: UTF-16 strings of 128 units at most (names,
// value texts) and NUL-terminated 8-bit fields of fixed size.
#include <cstddef>
#include <string>

#include "vst3/Vst3Abi.h"

namespace mg::vst3 {

// UTF-8 into a UTF-16 buffer of `capacity` units, cut at a whole character
// and always terminated.
void ToUtf16(const char* utf8, char16* out, std::size_t capacity);

template <std::size_t N>
void ToUtf16(const char* utf8, char16 (&out)[N])
{
    ToUtf16(utf8, out, N);
}

// UTF-16, up to its terminator or `capacity` units, as UTF-8.
std::string ToUtf8(const char16* utf16, std::size_t capacity = 128);

// Copies into a fixed field, cut to fit and terminated.
template <std::size_t N>
void CopyField(char8 (&out)[N], const char* text)
{
    std::size_t n = 0;
    for (; text && text[n] != '\0' && n + 1 < N; ++n) out[n] = text[n];
    for (; n < N; ++n) out[n] = '\0';
}

} // namespace mg::vst3
