#pragma once
// The editor's key codes, as controls receive them in KeyPress, and the keys
// they come from. Keys are named by their Windows virtual-key numbers, which
// every window part can produce: the Windows part finds them in its key
// messages, the X11 part translates its key symbols into them, and both get
// a control's key code from the one table here.
#include <cstdint>

namespace mg {

// Windows virtual-key numbers of the keys the editor hears of.
enum VirtualKey : int {
    kVkSpace = 0x20,
    kVkLeft = 0x25, // then up, right, down
    kVkUp = 0x26,
    kVkRight = 0x27,
    kVkDown = 0x28,
    kVk0 = 0x30,        // to 0x39
    kVkA = 0x41,        // to 0x5A
    kVkNumpad0 = 0x60,  // to 0x69
    kVkMultiply = 0x6A, // then add, separator, subtract, decimal, divide
    kVkF1 = 0x70        // to F24 at 0x87
};

// Key code of KeyPress for a virtual key: space 0, up 1, down 2, left 3,
// right 4, digits 5..14, letters 15..40; -1 for a key the editor drops. The
// virtual keys 0x61 to 0x7A (the number pad's 1 to 9 and operators, F1 to
// F11) count as the letters too.
constexpr int KeyCodeForVirtualKey(std::uintptr_t key)
{
    switch (key) {
    case kVkSpace: return 0;
    case kVkUp: return 1;
    case kVkDown: return 2;
    case kVkLeft: return 3;
    case kVkRight: return 4;
    default: break;
    }
    if (key >= 0x30 && key <= 0x39) return static_cast<int>(key - 0x30) + 5;
    if (key >= 0x41 && key <= 0x5A) return static_cast<int>(key - 0x41) + 15;
    if (key >= 0x61 && key <= 0x7A) return static_cast<int>(key - 0x61) + 15;
    return -1;
}

} // namespace mg
