// SPDX-License-Identifier: MIT
// Tests of profile values and the recent-file list.
#include "platform/AppProfile.h"

#include "support/TempXdgTest.h"

#include <gtest/gtest.h>

using namespace platform;

namespace {

class AppProfileTest : public testsupport::CTempXdgTest {};

} // namespace

TEST_F(AppProfileTest, ValuesRoundTripAndWrongTypesGiveTheDefault) {
    CAppProfile profile;
    EXPECT_EQ(profile.GetProfileInt("Settings", "TVDispType", 1), 1u);
    EXPECT_EQ(profile.GetProfileString("Settings", "TVFileName", "none"), "none");
    EXPECT_FALSE(profile.GetProfileBinary("Settings", "TVLogoFont"));

    RegBinary font(60);
    for (std::size_t i = 0; i < font.size(); ++i)
        font[i] = static_cast<std::uint8_t>(i * 7);
    ASSERT_TRUE(profile.WriteProfileInt("Settings", "TVDispType", 2));
    ASSERT_TRUE(
        profile.WriteProfileString("Settings", "TVFileName", "/home/u/Bilder/logo \"1\".bmp"));
    ASSERT_TRUE(profile.WriteProfileBinary("Settings", "TVLogoFont", font));
    CAppProfile again; // a fresh reader sees the file, not a cache
    EXPECT_EQ(again.GetProfileInt("Settings", "TVDispType", 1), 2u);
    EXPECT_EQ(again.GetProfileString("Settings", "TVFileName"), "/home/u/Bilder/logo \"1\".bmp");
    EXPECT_EQ(again.GetProfileBinary("Settings", "TVLogoFont"), font);
    EXPECT_EQ(again.GetProfileInt("Settings", "TVFileName", 9), 9u);
    EXPECT_EQ(again.GetProfileString("Settings", "TVDispType", "x"), "x");

    ASSERT_TRUE(again.DeleteProfileValue("Settings", "TVDispType"));
    EXPECT_EQ(profile.GetProfileInt("Settings", "TVDispType", 1), 1u);
}

TEST_F(AppProfileTest, SectionsDeeperThanTheHiveAllowsAreRefused) {
    CAppProfile profile;
    std::string section = "Recent File List";
    for (int i = 0; i < 12; ++i) // 13 levels below software\Quorvi\Quorvi Studio: 16 in all
        section += "\\a";
    ASSERT_TRUE(profile.WriteProfileString(section, "File1", "/deepest.png"));
    section += "\\a";
    EXPECT_FALSE(profile.WriteProfileString(section, "File1", "/too-deep.png"));
    EXPECT_NE(profile.LastError().find("at most 13 levels"), std::string::npos)
        << profile.LastError();
    EXPECT_EQ(profile.GetProfileString("", "File1", "none"), "none"); // not on the key instead
}
