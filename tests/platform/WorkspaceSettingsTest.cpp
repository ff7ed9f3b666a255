// SPDX-License-Identifier: MIT
// The workspace's "Settings" section: defaults, the logo font record and its quirks.
#include "platform/WorkspaceSettings.h"

#include "platform/AppProfile.h"

#include "support/TempXdgTest.h"

#include <gtest/gtest.h>

#include <climits>

using namespace platform;
using testsupport::ReadFileText;
using testsupport::WriteFileText;

namespace {

class WorkspaceSettingsTest : public testsupport::CTempXdgTest {
protected:
    std::filesystem::path UserHive() const { return ConfigHome() / "Quorvi" / "QuorviStudio.reg"; }
    void WriteSettings(const std::string& lines) {
        WriteFileText(UserHive(),
                      "Quorvi Registry Hive 1\n[software\\Quorvi\\Quorvi Studio\\Settings]\n" +
                          lines + "\n; end of hive\n");
    }
    static CWorkspaceSettings Fresh() {
        LogoFontRecord font;
        font.strFaceName = "Default Face";
        return CWorkspaceSettings(0x112233, 0x445566, font);
    }
};

// A 60-byte record: height -24, weight 400, italic, face "Serif".
std::string FontHex() {
    std::string hex = "e8,ff,ff,ff,00,00,00,00,00,00,00,00,00,00,00,00,90,01,00,00,"
                      "01,00,00,00,00,00,00,00,53,65,72,69,66";
    for (int i = 33; i < 60; ++i)
        hex += ",00";
    return hex;
}

LogoFontRecord Font(std::int32_t nHeight, std::int32_t nWidth, std::int32_t nEscapement,
                    std::int32_t nOrientation, std::int32_t nWeight) {
    LogoFontRecord font;
    font.nHeight = nHeight;
    font.nWidth = nWidth;
    font.nEscapement = nEscapement;
    font.nOrientation = nOrientation;
    font.nWeight = nWeight;
    return font;
}

} // namespace

TEST_F(WorkspaceSettingsTest, AbsentValuesKeepTheDefaultsAndStoredOnesAreRead) {
    CWorkspaceSettings settings = Fresh();
    settings.Load(HiveLocations::FromEnvironment());
    EXPECT_TRUE(settings.m_bChildMaximized);
    EXPECT_EQ(settings.m_crBack, 0x112233u);
    EXPECT_EQ(settings.m_nDispType, CWorkspaceSettings::Center);
    EXPECT_EQ(settings.m_logoFont.strFaceName, "Default Face");

    WriteSettings("\"TVChildWinState\"=dword:00000000\n\"TVBackColor\"=dword:00010203\n"
                  "\"TVDispType\"=dword:00000007\n\"TVFileName\"=\"/x/y.bmp\"\n"
                  "\"TVLogoFont\"=hex:" +
                  FontHex() + "\n\"TVLogoColor\"=\"not a number\"\n");
    settings = Fresh();
    settings.Load(HiveLocations::FromEnvironment());
    EXPECT_FALSE(settings.m_bChildMaximized);
    EXPECT_EQ(settings.m_crBack, 0x010203u);
    EXPECT_EQ(settings.m_crLogo, 0x445566u); // of another type: the default stays
    EXPECT_EQ(settings.m_nDispType, CWorkspaceSettings::Center); // out of range
    EXPECT_EQ(settings.m_strBitmapFile, "/x/y.bmp");
    EXPECT_EQ(settings.m_logoFont.nHeight, -24);
    EXPECT_EQ(settings.m_logoFont.nWeight, 400);
    EXPECT_EQ(settings.m_logoFont.bItalic, 1);
    EXPECT_EQ(settings.m_logoFont.strFaceName, "Serif");

    // A font value of the wrong size is not a font: the default stays.
    WriteSettings("\"TVLogoFont\"=hex:01,02,03\n");
    settings = Fresh();
    settings.Load(HiveLocations::FromEnvironment());
    EXPECT_EQ(settings.m_logoFont.strFaceName, "Default Face");
}

TEST_F(WorkspaceSettingsTest, SavedValuesComeBackAndTheChildStateIsWrittenAlone) {
    CWorkspaceSettings settings = Fresh();
    settings.m_logoFont.nHeight = -24;
    settings.m_logoFont.nWeight = 400;
    settings.m_logoFont.bItalic = 1;
    settings.m_logoFont.strFaceName = "Serif";
    settings.m_nDispType = CWorkspaceSettings::Stretch;
    ASSERT_TRUE(settings.Save(HiveLocations::FromEnvironment()));
    EXPECT_NE(ReadFileText(UserHive()).find("\"TVLogoFont\"=hex:" + FontHex()), std::string::npos)
        << ReadFileText(UserHive());
    ASSERT_TRUE(CWorkspaceSettings::SaveChildWinState(false, HiveLocations::FromEnvironment()));
    CWorkspaceSettings back = Fresh();
    back.Load(HiveLocations::FromEnvironment());
    EXPECT_FALSE(back.m_bChildMaximized);
    EXPECT_EQ(back.m_logoFont, settings.m_logoFont);
    EXPECT_EQ(back.m_nDispType, CWorkspaceSettings::Stretch);
}

// A logo height of INT_MIN overflowed the workspace painter's arithmetic.
TEST_F(WorkspaceSettingsTest, OutOfRangeValuesAreBroughtIntoRangeAtLoad) {
    const LogoFontRecord font = Font(INT_MIN, INT_MAX, INT_MIN, INT_MAX, -1);
    CAppProfile profile;
    ASSERT_TRUE(profile.WriteProfileBinary("Settings", "TVLogoFont", font.ToBytes()));
    ASSERT_TRUE(profile.WriteProfileInt("Settings", "TVBkBitmap", 7));
    ASSERT_TRUE(profile.WriteProfileInt("Settings", "TVBackColor", 0xff010203));
    ASSERT_TRUE(profile.WriteProfileString("Settings", "TVFileName", "Pictures/logo.bmp"));
    CWorkspaceSettings settings = Fresh();
    settings.Load(HiveLocations::FromEnvironment());
    constexpr std::int32_t px = LogoFontRecord::kMaxPixels, angle = LogoFontRecord::kMaxAngle;
    EXPECT_EQ(settings.m_logoFont, Font(-px, px, -angle, angle, 0));
    EXPECT_EQ(settings.m_dwUseBitmap, 1u);
    EXPECT_EQ(settings.m_crBack, 0x010203u);
    EXPECT_EQ(settings.m_strBitmapFile, (Home() / "Pictures/logo.bmp").string());
}
