#pragma once
// How X11 input becomes the editor's: modifiers, wheel notches and keys.
// Plain logic on the protocol's numbers, so it can be checked without a
// display.
#include <cstdint>

#include "editor/IMouseModifiers.h"

namespace mg::x11 {

// Bits of an event's key-and-button state (core protocol).
constexpr unsigned kShiftMask = 1u << 0;
constexpr unsigned kLockMask = 1u << 1;
constexpr unsigned kControlMask = 1u << 2;
constexpr unsigned kMod1Mask = 1u << 3; // Alt
constexpr unsigned kMod2Mask = 1u << 4; // Num Lock
constexpr unsigned kButton1Mask = 1u << 8;
constexpr unsigned kButton3Mask = 1u << 10;

constexpr int kLeftButton = 1;
constexpr int kRightButton = 3;

// The modifiers as they are once the event has happened. X11 reports the
// state from before it, so a press adds its own button and a release takes
// its own away (0: no button of ours).
IMouseModifiers ModifiersOf(unsigned state, int pressed = 0, int released = 0);

// Buttons 4 and 5 are one wheel notch away from and towards the user; any
// other button turns no wheel (0).
int WheelNotches(int button);

// The key symbol a key press stands for, from the key's first two symbols
// (without and with shift): the first, except for the number pad's digits
// and decimal sign, which Num Lock (undone by shift) picks over the
// movement keys they share their keys with.
std::uint32_t KeysymOfPress(std::uint32_t unshifted, std::uint32_t shifted, unsigned state);

// The Windows virtual key of a key symbol, or -1 for a key that has none
// the editor uses: space, arrows, digits, letters, the number pad and F1 to
// F24 (mg::KeyCodeForVirtualKey makes a key code of it).
int VirtualKeyOfKeysym(std::uint32_t keysym);

// The text a key types into the value box: the shifted symbol with shift
// (or Caps Lock on a letter), else the unshifted one; printable ASCII and
// the number pad's digits and signs only. 0 for a key that types nothing.
char CharacterOfKey(std::uint32_t unshifted, std::uint32_t shifted, unsigned state);

// What a key does to the value box.
enum class EntryKey { Other, Commit, Cancel, Erase, Previous, Next };
EntryKey EntryKeyOf(std::uint32_t keysym);

} // namespace mg::x11
