#include "X11Input.h"

#include "editor/KeyCodes.h"

namespace mg::x11 {

namespace {

// Key symbols (X11 keysymdef values) the editor looks at.
constexpr std::uint32_t kXkSpace = 0x20;
constexpr std::uint32_t kXkBackSpace = 0xff08;
constexpr std::uint32_t kXkReturn = 0xff0d;
constexpr std::uint32_t kXkEscape = 0xff1b;
constexpr std::uint32_t kXkLeft = 0xff51; // then up, right, down
constexpr std::uint32_t kXkDown = 0xff54;
constexpr std::uint32_t kXkUp = 0xff52;
constexpr std::uint32_t kXkKpEnter = 0xff8d;
constexpr std::uint32_t kXkKpLeft = 0xff96; // then up, right, down
constexpr std::uint32_t kXkKpUp = 0xff97;
constexpr std::uint32_t kXkKpDown = 0xff99;
constexpr std::uint32_t kXkKpMultiply = 0xffaa; // then add, separator, subtract, decimal, divide
constexpr std::uint32_t kXkKpDivide = 0xffaf;
constexpr std::uint32_t kXkKp0 = 0xffb0;
constexpr std::uint32_t kXkF1 = 0xffbe;
constexpr std::uint32_t kXkF24 = 0xffd5;

// The number pad's separator, decimal sign and digits.
bool IsPadDigit(std::uint32_t keysym) { return keysym >= 0xffac && keysym <= kXkKp0 + 9; }

} // namespace

IMouseModifiers ModifiersOf(unsigned state, int pressed, int released)
{
    IMouseModifiers m;
    m.left = (state & kButton1Mask) != 0;
    m.right = (state & kButton3Mask) != 0;
    if (pressed == kLeftButton) m.left = true;
    if (pressed == kRightButton) m.right = true;
    if (released == kLeftButton) m.left = false;
    if (released == kRightButton) m.right = false;
    m.shift = (state & kShiftMask) != 0;
    m.control = (state & kControlMask) != 0;
    m.alt = (state & kMod1Mask) != 0;
    return m;
}

int WheelNotches(int button)
{
    if (button == 4) return 1;
    if (button == 5) return -1;
    return 0;
}

std::uint32_t KeysymOfPress(std::uint32_t unshifted, std::uint32_t shifted, unsigned state)
{
    if (IsPadDigit(shifted) && !IsPadDigit(unshifted)) {
        const bool numLock = (state & kMod2Mask) != 0;
        const bool shift = (state & kShiftMask) != 0;
        if (numLock != shift) return shifted;
    }
    return unshifted;
}

int VirtualKeyOfKeysym(std::uint32_t keysym)
{
    if (keysym == kXkSpace) return kVkSpace;
    if (keysym >= '0' && keysym <= '9') return kVk0 + static_cast<int>(keysym - '0');
    if (keysym >= 'A' && keysym <= 'Z') return kVkA + static_cast<int>(keysym - 'A');
    if (keysym >= 'a' && keysym <= 'z') return kVkA + static_cast<int>(keysym - 'a');
    // Left, up, right, down in both key symbols' and virtual keys' order.
    if (keysym >= kXkLeft && keysym <= kXkDown) return kVkLeft + static_cast<int>(keysym - kXkLeft);
    if (keysym >= kXkKpLeft && keysym <= kXkKpDown) return kVkLeft + static_cast<int>(keysym - kXkKpLeft);
    if (keysym >= kXkKp0 && keysym <= kXkKp0 + 9) return kVkNumpad0 + static_cast<int>(keysym - kXkKp0);
    if (keysym >= kXkKpMultiply && keysym <= kXkKpDivide)
        return kVkMultiply + static_cast<int>(keysym - kXkKpMultiply);
    if (keysym >= kXkF1 && keysym <= kXkF24) return kVkF1 + static_cast<int>(keysym - kXkF1);
    return -1;
}

char CharacterOfKey(std::uint32_t unshifted, std::uint32_t shifted, unsigned state)
{
    bool shift = (state & kShiftMask) != 0;
    const bool letter = (unshifted >= 'a' && unshifted <= 'z');
    if (letter && (state & kLockMask) != 0) shift = !shift;
    std::uint32_t sym = (shift && shifted != 0) ? shifted : unshifted;
    if (IsPadDigit(shifted) && !IsPadDigit(unshifted)) sym = KeysymOfPress(unshifted, shifted, state);
    if (sym >= 0x20 && sym <= 0x7e) return static_cast<char>(sym);
    if (sym >= kXkKp0 && sym <= kXkKp0 + 9) return static_cast<char>('0' + (sym - kXkKp0));
    switch (sym) {
    case kXkKpMultiply:
        return '*';
    case kXkKpMultiply + 1:
        return '+';
    case kXkKpMultiply + 2:
        return ',';
    case kXkKpMultiply + 3:
        return '-';
    case kXkKpMultiply + 4:
        return '.';
    case kXkKpDivide:
        return '/';
    default:
        return 0;
    }
}

EntryKey EntryKeyOf(std::uint32_t keysym)
{
    switch (keysym) {
    case kXkReturn:
    case kXkKpEnter:
        return EntryKey::Commit;
    case kXkEscape:
        return EntryKey::Cancel;
    case kXkBackSpace:
        return EntryKey::Erase;
    case kXkUp:
    case kXkKpUp:
        return EntryKey::Previous;
    case kXkDown:
    case kXkKpDown:
        return EntryKey::Next;
    default:
        return EntryKey::Other;
    }
}

} // namespace mg::x11
