#pragma once
// How the editor window reads Win32 message words: wheel notches, pointer
// positions and modifier flags (key codes come from editor/KeyCodes.h).
// Plain integer arithmetic, so it is the same on every platform and can be
// checked without a window.
#include <cstddef>
#include <cstdint>

#include "editor/IMouseModifiers.h"
#include "editor/KeyCodes.h"

namespace mg::win32 {

// Bits of a mouse message's key-state word (MK_LBUTTON, MK_RBUTTON,
// MK_SHIFT, MK_CONTROL).
constexpr unsigned kKeyStateLeft = 0x0001;
constexpr unsigned kKeyStateRight = 0x0002;
constexpr unsigned kKeyStateShift = 0x0004;
constexpr unsigned kKeyStateControl = 0x0008;

// Signed low and high halves of a 32-bit message word.
constexpr int LowWordSigned(std::uintptr_t word) { return static_cast<std::int16_t>(word & 0xFFFF); }
constexpr int HighWordSigned(std::uintptr_t word) { return static_cast<std::int16_t>((word >> 16) & 0xFFFF); }

// Whole notches of a wheel message: the signed high half of its first
// word over 120, truncated toward zero (-240 gives -2, 100 gives 0).
constexpr int WheelNotches(std::uintptr_t wordParam) { return HighWordSigned(wordParam) / 120; }

constexpr IMouseModifiers ModifiersFromKeyState(unsigned keyState, bool altDown)
{
    IMouseModifiers m;
    m.left = (keyState & kKeyStateLeft) != 0;
    m.right = (keyState & kKeyStateRight) != 0;
    m.shift = (keyState & kKeyStateShift) != 0;
    m.control = (keyState & kKeyStateControl) != 0;
    m.alt = altDown;
    return m;
}

// The part of a module path up to and including its last backslash; empty
// when there is none or it is the last character. `out` has room for
// `capacity` bytes including the terminator; a folder that does not fit
// gives an empty text too.
void FolderOfModulePath(const char* path, char* out, std::size_t capacity);

} // namespace mg::win32
