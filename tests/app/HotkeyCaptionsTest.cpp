// SPDX-License-Identifier: MIT
// Hotkey texts of the capture menu items and the caption map read from the tray menu.
#include "app/HotkeyCaptions.h"

#include "framework/CommandIds.h"

#include <gtest/gtest.h>

TEST(HotkeyCaptions, ModifiersAndKeyFollowTheMenuRules) {
    const CKeyNameMap keys;
    EXPECT_EQ(keys.MenuSuffix(0xE043), QStringLiteral("\tCtrl+Shift+Alt+C"));
    EXPECT_EQ(keys.MenuSuffix(0x002C), QStringLiteral("\tPrint Screen"));
    EXPECT_EQ(keys.MenuSuffix(0x202C), QStringLiteral("\tAlt+Print Screen"));
    EXPECT_EQ(keys.MenuSuffix(0x4070), QStringLiteral("\tShift+F1"));
    EXPECT_EQ(keys.MenuSuffix(0x6061), QStringLiteral("\tShift+Alt+Num 1"));
    EXPECT_EQ(keys.MenuSuffix(0x806A), QStringLiteral("\tCtrl+*"));
    // No hotkey: nothing; a key without a name adds nothing after the modifiers.
    EXPECT_EQ(keys.MenuSuffix(0), QString());
    EXPECT_EQ(keys.MenuSuffix(0x80BA), QStringLiteral("\tCtrl"));
    EXPECT_EQ(keys.MenuSuffix(0x00BA), QString());
    // The text for messages has no tab.
    EXPECT_EQ(keys.Text(0xE043), QStringLiteral("Ctrl+Shift+Alt+C"));
    EXPECT_EQ(keys.Text(0x0030), QStringLiteral("0"));
    EXPECT_EQ(keys.Text(0x007B), QStringLiteral("F12"));
}

TEST(HotkeyCaptions, KeyNamesCoverTheTable) {
    const CKeyNameMap keys;
    const struct {
        int nKey;
        const char* pszName;
    } expected[] = {{8, "Backspace"}, {9, "Tab"},     {13, "Enter"},  {27, "Escape"},
                    {32, "Space"},    {35, "End"},    {36, "Home"},   {37, "Left"},
                    {38, "Up"},       {39, "Right"},  {40, "Down"},   {44, "Print Screen"},
                    {45, "Insert"},   {46, "Delete"}, {57, "9"},      {65, "A"},
                    {90, "Z"},        {96, "Num 0"},  {105, "Num 9"}, {106, "*"},
                    {107, "+"},       {109, "-"},     {111, "/"},     {112, "F1"}};
    for (const auto& e : expected)
        EXPECT_EQ(keys.Name(std::uint8_t(e.nKey)), QString::fromLatin1(e.pszName)) << e.nKey;
    for (int nKey : {0, 10, 33, 47, 91, 108, 110, 124, 255})
        EXPECT_FALSE(keys.Contains(std::uint8_t(nKey))) << nKey;
}

TEST(HotkeyCaptions, CaptionsComeFromTheTrayMenu) {
    const CCaptionMap captions(IDR_TRAY_MENU);
    EXPECT_EQ(captions.Find(ID_CAPTURE_CLIENT)->strCaption,
              QStringLiteral("Active Window C&lient"));
    EXPECT_EQ(captions.ActionOf(ID_CAPTURE_CLIENT), 1);
    EXPECT_EQ(captions.Find(ID_CAPTURE_CONTROL)->strCaption,
              QStringLiteral("&Control,Button,Child Window"));
    EXPECT_EQ(captions.ActionOf(ID_CAPTURE_DEFAULT), 12);
    EXPECT_EQ(captions.ActionOf(ID_CAPTURE_TRIANGLE), 15);
    EXPECT_TRUE(captions.Find(ID_CAPTURE_TRIANGLE)->strCaption.isEmpty());
    EXPECT_FALSE(captions.Find(ID_FILE_OPEN).has_value());

    std::array<std::uint16_t, 35> hotkeys{};
    hotkeys[1] = 0xE043;
    hotkeys[12] = 0x002C;
    const CKeyNameMap keys;
    EXPECT_EQ(captions.MenuText(ID_CAPTURE_CLIENT, hotkeys.data(), keys),
              QStringLiteral("Active Window C&lient\tCtrl+Shift+Alt+C"));
    EXPECT_EQ(captions.MenuText(ID_CAPTURE_DEFAULT, hotkeys.data(), keys),
              QStringLiteral("De&fault Action\tPrint Screen"));
    EXPECT_EQ(captions.MenuText(ID_CAPTURE_DESKTOP, hotkeys.data(), keys),
              QStringLiteral("&Desktop"));
    // The triangle has no caption, so no menu text.
    EXPECT_TRUE(captions.MenuText(ID_CAPTURE_TRIANGLE, hotkeys.data(), keys).isEmpty());
}
