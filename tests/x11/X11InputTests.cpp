// How X11 input becomes the editor's, without a display: modifiers around
// presses and releases, wheel notches, double clicks by timing, key codes
// and typing into the value box.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "editor/DoubleClickClock.h"
#include "editor/KeyCodes.h"
#include "editor/TextEntry.h"
#include "editor/x11/X11Input.h"

using namespace mg::x11;
using mg::DoubleClickClock;
using mg::EraseFromEntry;
using mg::TypeIntoEntry;

namespace {

int KeyCodeOfKeysym(std::uint32_t keysym)
{
    const int key = VirtualKeyOfKeysym(keysym);
    return key < 0 ? -1 : mg::KeyCodeForVirtualKey(static_cast<std::uintptr_t>(key));
}

} // namespace

TEST(X11Input, ModifiersAreThoseAfterTheEvent)
{
    // X11 reports the state before the event: a press lacks its own button.
    mg::IMouseModifiers m = ModifiersOf(0, kRightButton);
    EXPECT_TRUE(m.right);
    EXPECT_FALSE(m.left);
    m = ModifiersOf(kButton1Mask | kShiftMask, 0, kLeftButton);
    EXPECT_FALSE(m.left) << "a release lets its button go";
    EXPECT_TRUE(m.shift);
    m = ModifiersOf(kButton1Mask | kButton3Mask | kControlMask | kMod1Mask);
    EXPECT_TRUE(m.left && m.right && m.control && m.alt);
    EXPECT_FALSE(m.shift);
    EXPECT_FALSE(ModifiersOf(kMod2Mask | kLockMask).alt) << "Num Lock and Caps Lock are no modifiers";
}

TEST(X11Input, WheelButtonsAreNotches)
{
    EXPECT_EQ(WheelNotches(4), 1);
    EXPECT_EQ(WheelNotches(5), -1);
    EXPECT_EQ(WheelNotches(1), 0);
    EXPECT_EQ(WheelNotches(6), 0) << "sideways scrolling turns nothing";
}

TEST(X11Input, DoubleClicksByTimeAndPlace)
{
    DoubleClickClock clock(500, 2);
    EXPECT_FALSE(clock.Press(1, 1000, 10, 10));
    EXPECT_TRUE(clock.Press(1, 1400, 12, 8));
    EXPECT_FALSE(clock.Press(1, 1450, 12, 8)) << "a third press starts afresh";
    EXPECT_TRUE(clock.Press(1, 1950, 12, 8));

    EXPECT_FALSE(clock.Press(1, 5000, 10, 10));
    EXPECT_FALSE(clock.Press(1, 5501, 10, 10)) << "too slow";
    EXPECT_FALSE(clock.Press(1, 5600, 13, 10)) << "too far";
    EXPECT_FALSE(clock.Press(3, 5700, 13, 10)) << "another button";
    EXPECT_TRUE(clock.Press(3, 5800, 13, 10));

    // Server time wraps around after 49 days.
    EXPECT_FALSE(clock.Press(1, 0xFFFFFF00u, 0, 0));
    EXPECT_TRUE(clock.Press(1, 0x00000050u, 0, 0));

    EXPECT_FALSE(clock.Press(1, 100, 0, 0));
    clock.Forget();
    EXPECT_FALSE(clock.Press(1, 150, 0, 0));
}

TEST(X11Input, KeysGiveTheWindowsEditorsCodes)
{
    EXPECT_EQ(KeyCodeOfKeysym(' '), 0);
    EXPECT_EQ(KeyCodeOfKeysym(0xff52), 1); // up
    EXPECT_EQ(KeyCodeOfKeysym(0xff54), 2); // down
    EXPECT_EQ(KeyCodeOfKeysym(0xff51), 3); // left
    EXPECT_EQ(KeyCodeOfKeysym(0xff53), 4); // right
    EXPECT_EQ(KeyCodeOfKeysym(0xff97), 1); // the number pad's up
    EXPECT_EQ(KeyCodeOfKeysym('7'), 12);
    EXPECT_EQ(KeyCodeOfKeysym('Z'), 40);
    EXPECT_EQ(KeyCodeOfKeysym('z'), 40);
    EXPECT_EQ(KeyCodeOfKeysym('a'), 15);
    // Keys whose virtual keys fall in 0x61..0x7A count as letters, as on Windows.
    EXPECT_EQ(KeyCodeOfKeysym(0xffb1), 15); // number pad 1
    EXPECT_EQ(KeyCodeOfKeysym(0xffbe), 30); // F1
    EXPECT_EQ(KeyCodeOfKeysym(0xffb0), -1); // number pad 0 is 0x60
    EXPECT_EQ(KeyCodeOfKeysym(0xff0d), -1); // Return
    EXPECT_EQ(KeyCodeOfKeysym('!'), -1);

    // The number pad's digit keys are digits only with Num Lock, undone by shift.
    const std::uint32_t end = 0xff9c, pad1 = 0xffb1;
    EXPECT_EQ(KeysymOfPress(end, pad1, 0), end);
    EXPECT_EQ(KeysymOfPress(end, pad1, kMod2Mask), pad1);
    EXPECT_EQ(KeysymOfPress(end, pad1, kMod2Mask | kShiftMask), end);
    EXPECT_EQ(KeysymOfPress('a', 'A', kShiftMask), static_cast<std::uint32_t>('a'))
        << "letters keep their key whatever the case";
}

TEST(X11Input, TypingIntoTheValueBox)
{
    EXPECT_EQ(CharacterOfKey('a', 'A', 0), 'a');
    EXPECT_EQ(CharacterOfKey('a', 'A', kShiftMask), 'A');
    EXPECT_EQ(CharacterOfKey('a', 'A', kLockMask), 'A');
    EXPECT_EQ(CharacterOfKey('1', '!', kLockMask), '1') << "Caps Lock is for letters";
    EXPECT_EQ(CharacterOfKey('.', '>', 0), '.');
    EXPECT_EQ(CharacterOfKey(0xff9f, 0xffae, kMod2Mask), '.'); // the pad's decimal sign
    EXPECT_EQ(CharacterOfKey(0xff9f, 0xffae, 0), 0);
    EXPECT_EQ(CharacterOfKey(0xffad, 0xffad, 0), '-'); // the pad's minus
    EXPECT_EQ(CharacterOfKey(0xff0d, 0, 0), 0);

    EXPECT_EQ(EntryKeyOf(0xff0d), EntryKey::Commit);
    EXPECT_EQ(EntryKeyOf(0xff8d), EntryKey::Commit);
    EXPECT_EQ(EntryKeyOf(0xff1b), EntryKey::Cancel);
    EXPECT_EQ(EntryKeyOf(0xff08), EntryKey::Erase);
    EXPECT_EQ(EntryKeyOf(0xff54), EntryKey::Next);
    EXPECT_EQ(EntryKeyOf('x'), EntryKey::Other);

    char text[8] = "0.500";
    bool fresh = true;
    TypeIntoEntry(text, sizeof text, fresh, '2');
    EXPECT_STREQ(text, "2") << "the first key replaces the value shown";
    for (char ch : std::string("345678")) TypeIntoEntry(text, sizeof text, fresh, ch);
    EXPECT_STREQ(text, "2345678") << "a full text takes no more";
    EraseFromEntry(text, fresh);
    EXPECT_STREQ(text, "234567");
    fresh = true;
    EraseFromEntry(text, fresh);
    EXPECT_STREQ(text, "") << "erasing a fresh text clears it";
    EraseFromEntry(text, fresh);
    EXPECT_STREQ(text, "");
}
