// SPDX-License-Identifier: MIT
// Hotkey words as text: the names menus, messages, the settings listing and trace lines show.
#include "base/HotkeyWord.h"

#include <gtest/gtest.h>

#include <utility>

namespace {

using base::HotkeyText;
using base::KeyName;
using base::ParseHotkeyText;

TEST(HotkeyWords, DefaultWordsReadAsTheOptionPagesShowThem) {
    const std::pair<std::uint16_t, const char*> words[] = {
        {0x202C, "Alt+Print Screen"}, {0xE043, "Ctrl+Shift+Alt+C"}, {0x804E, "Ctrl+N"},
        {0xA053, "Ctrl+Alt+S"},       {0xC04D, "Ctrl+Shift+M"},     {0x002C, "Print Screen"},
        {0x4070, "Shift+F1"},         {0x807B, "Ctrl+F12"},         {0x2060, "Alt+Num 0"},
        {0x806B, "Ctrl++"},           {0x001B, "Escape"},
    };
    for (const auto& [word, text] : words) {
        EXPECT_EQ(HotkeyText(word), text);
        EXPECT_EQ(ParseHotkeyText(text), word) << text;
    }
    EXPECT_EQ(ParseHotkeyText("ctrl+alt+s"), 0xA053);
    EXPECT_FALSE(ParseHotkeyText("Ctrl+"));
    EXPECT_FALSE(ParseHotkeyText("Hyper+S"));
    EXPECT_FALSE(ParseHotkeyText(""));
}

// As the menu captions show them: the modifiers alone, nothing for the key.
TEST(HotkeyWords, AKeyWithoutANameShowsOnlyItsModifiers) {
    EXPECT_EQ(KeyName(0x21), "");
    EXPECT_EQ(HotkeyText(0x8021), "Ctrl");
    EXPECT_EQ(HotkeyText(0xE0BA), "Ctrl+Shift+Alt");
    EXPECT_EQ(HotkeyText(0x0097), "");
    EXPECT_EQ(HotkeyText(0), "");
    // Bits no modifier uses show nothing either.
    EXPECT_EQ(HotkeyText(0x1043), "C");
    EXPECT_FALSE(ParseHotkeyText("Ctrl+Key 0x21"));
    EXPECT_FALSE(ParseHotkeyText("0x21"));
}

TEST(HotkeyWords, EveryWordWithANamedKeyRoundTrips) {
    int nNamed = 0;
    for (std::uint32_t word = 1; word <= 0xFFFF; ++word) {
        if ((word & 0x1F00) != 0 || KeyName(static_cast<std::uint8_t>(word)).empty())
            continue;
        ++nNamed;
        ASSERT_EQ(ParseHotkeyText(HotkeyText(static_cast<std::uint16_t>(word))), word)
            << HotkeyText(static_cast<std::uint16_t>(word));
    }
    // Digits, letters, keypad digits, F1-F12 and 18 named keys, each with 8 modifier sets.
    EXPECT_EQ(nNamed, (10 + 26 + 10 + 12 + 18) * 8);
}

} // namespace
