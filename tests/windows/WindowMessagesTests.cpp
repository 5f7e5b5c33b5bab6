// The window part's reading of Win32 message words, and the key codes it
// takes from the table shared with the other window parts.
#include <gtest/gtest.h>

#include "editor/win32/WindowMessages.h"

namespace mg::win32 {
namespace {

TEST(WindowMessages, KeyCodesOfTheKeysTheEditorTakes)
{
    EXPECT_EQ(KeyCodeForVirtualKey(0x20), 0);
    EXPECT_EQ(KeyCodeForVirtualKey(0x26), 1);
    EXPECT_EQ(KeyCodeForVirtualKey(0x28), 2);
    EXPECT_EQ(KeyCodeForVirtualKey(0x25), 3);
    EXPECT_EQ(KeyCodeForVirtualKey(0x27), 4);
    EXPECT_EQ(KeyCodeForVirtualKey('0'), 5);
    EXPECT_EQ(KeyCodeForVirtualKey('7'), 12);
    EXPECT_EQ(KeyCodeForVirtualKey('9'), 14);
    EXPECT_EQ(KeyCodeForVirtualKey('A'), 15);
    EXPECT_EQ(KeyCodeForVirtualKey('Z'), 40);
    // 0x61..0x7A are the numeric keypad's keys, mapped like letters.
    EXPECT_EQ(KeyCodeForVirtualKey(0x61), 15);
    EXPECT_EQ(KeyCodeForVirtualKey(0x7A), 40);
}

TEST(WindowMessages, OtherKeysAreDropped)
{
    for (std::uintptr_t key : {0x00u, 0x0Du, 0x1Bu, 0x21u, 0x24u, 0x29u, 0x2Fu, 0x3Au, 0x40u, 0x5Bu, 0x60u, 0x7Bu,
                               0xFFu, 0x120u, 0x10041u})
        EXPECT_EQ(KeyCodeForVirtualKey(key), -1) << std::hex << key;
}

TEST(WindowMessages, WheelNotchesTruncateTowardZero)
{
    auto word = [](int delta, unsigned keys = 0) {
        return static_cast<std::uintptr_t>(static_cast<std::uint16_t>(delta)) << 16 | keys;
    };
    EXPECT_EQ(WheelNotches(word(-240)), -2);
    EXPECT_EQ(WheelNotches(word(100)), 0);
    EXPECT_EQ(WheelNotches(word(-100)), 0);
    EXPECT_EQ(WheelNotches(word(120, kKeyStateShift)), 1);
    EXPECT_EQ(WheelNotches(word(-361)), -3);
}

TEST(WindowMessages, PointerHalvesAreSigned)
{
    // A drag past the window's left or top edge gives negative positions.
    const std::uintptr_t word = 0xFFF6u << 16 | 0xFFFBu;
    EXPECT_EQ(LowWordSigned(word), -5);
    EXPECT_EQ(HighWordSigned(word), -10);
    EXPECT_EQ(LowWordSigned(0x00C8'0064u), 100);
    EXPECT_EQ(HighWordSigned(0x00C8'0064u), 200);
}

TEST(WindowMessages, ModifiersFromTheKeyStateWord)
{
    const IMouseModifiers none = ModifiersFromKeyState(0, false);
    EXPECT_FALSE(none.left || none.right || none.shift || none.control || none.alt);
    const IMouseModifiers m = ModifiersFromKeyState(kKeyStateRight | kKeyStateControl | 0x0010 /* middle */, true);
    EXPECT_FALSE(m.left);
    EXPECT_TRUE(m.right);
    EXPECT_FALSE(m.shift);
    EXPECT_TRUE(m.control);
    EXPECT_TRUE(m.alt);
    EXPECT_TRUE(ModifiersFromKeyState(kKeyStateLeft | kKeyStateShift, false).left);
    EXPECT_TRUE(ModifiersFromKeyState(kKeyStateLeft | kKeyStateShift, false).shift);
}

TEST(WindowMessages, FolderOfAModulePath)
{
    char out[64];
    FolderOfModulePath("C:\\Program Files\\Host\\host.exe", out, sizeof out);
    EXPECT_STREQ(out, "C:\\Program Files\\Host\\");
    FolderOfModulePath("C:\\plugin.dll", out, sizeof out);
    EXPECT_STREQ(out, "C:\\");
    // No folder part, or a path that is only a folder: nothing.
    FolderOfModulePath("plugin.dll", out, sizeof out);
    EXPECT_STREQ(out, "");
    FolderOfModulePath("C:\\Plugins\\", out, sizeof out);
    EXPECT_STREQ(out, "");
    FolderOfModulePath(nullptr, out, sizeof out);
    EXPECT_STREQ(out, "");
    // A folder longer than the buffer is not cut into a wrong one.
    char small[8];
    FolderOfModulePath("C:\\Plugins\\x.dll", small, sizeof small);
    EXPECT_STREQ(small, "");
}

} // namespace
} // namespace mg::win32
