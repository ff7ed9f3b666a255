// SPDX-License-Identifier: MIT
// Tests of `quorvi settings` through the real executable, checked against the settings record.
#include "platform/AppProfile.h"
#include "platform/AppSettings.h"

#include "support/TempXdgTest.h"

#include <gtest/gtest.h>

using namespace platform;
using testsupport::ProcessResult;
using testsupport::ReadFileText;
using testsupport::WriteFileText;

namespace {

class SettingsCommandTest : public testsupport::CTempXdgTest {
protected:
    static ProcessResult Quorvi(std::vector<std::string> args) {
        args.insert(args.begin(), {QUORVI_CLI_PATH, "settings"});
        return testsupport::RunProgram(args);
    }
    std::filesystem::path UserHive() const { return ConfigHome() / "Quorvi" / "QuorviStudio.reg"; }
    static CAppSettings Loaded() {
        CAppSettings settings("/nonexistent/quorvi-studio");
        settings.Load();
        return settings;
    }
    // The listing line of one value, or "" when it is missing.
    static std::string LineOf(const std::string& listing, std::string_view name) {
        const std::size_t at = listing.find("\n  " + std::string(name) + " ");
        if (at == std::string::npos)
            return {};
        return listing.substr(at + 1, listing.find('\n', at + 1) - at - 1);
    }
};

} // namespace

TEST_F(SettingsCommandTest, ListsEverySettingWithoutWritingAnything) {
    const ProcessResult r = Quorvi({});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    for (const SettingField& field : SettingFields())
        EXPECT_NE(LineOf(r.out, field.name), "") << field.name;
    for (const char* section : {"[PrintLayout]", "[Hotkey]", "[CaptureOptions]"})
        EXPECT_NE(r.out.find(section), std::string::npos) << section;
    EXPECT_NE(LineOf(r.out, "ActiveWindowClient").find("1, 57411"), std::string::npos);
    EXPECT_NE(LineOf(r.out, "ActiveWindowClient").find("Ctrl+Shift+Alt+C"), std::string::npos);
    EXPECT_NE(LineOf(r.out, "JPEGDIP").find("0, 0"), std::string::npos);
    EXPECT_NE(LineOf(r.out, "OptionsA").find("0x0008167B"), std::string::npos);
    EXPECT_NE(LineOf(r.out, "Title").find("(default)"), std::string::npos);
    EXPECT_NE(r.out.find("Start-up entry: off"), std::string::npos);
    EXPECT_FALSE(std::filesystem::exists(UserHive()));
}

TEST_F(SettingsCommandTest, SetChangesOneValueOfEachKind) {
    const std::string title = "Report \"Q3\"\nline two \\ € ";
    const std::pair<std::vector<std::string>, const char*> changes[] = {
        {{"CaptureOptions/JPEGQuality", "80"}, "80"},
        {{"captureoptions/colorviewbackground", "0x00112233"}, "0x00112233"},
        {{"PrintLayout/Title", title}, nullptr},
        {{"PrintLayout/Margins", "1, 2,3 4"}, "1, 2, 3, 4"},
        {{"CaptureOptions/JPEGDIP", "300 96"}, "300, 96"},
        {{"Hotkey/Square", "Ctrl+Shift+F5"}, "3, 49268"},
        {{"Hotkey/Circle", "5, 0"}, "5, 0"},
        {{"Hotkey/Desktop", "0"}, "9, 0"},
        {{"Hotkey/Polygon", "0xE07B"}, "Ctrl+Shift+Alt+F12"},
        {{"Hotkey/Ellipse", "None"}, "6, 0"},
    };
    for (const auto& [args, shown] : changes) {
        const ProcessResult r = Quorvi(args);
        ASSERT_EQ(r.exitCode, 0) << args[0] << ": " << r.err;
        if (shown) {
            EXPECT_NE(r.out.find(shown), std::string::npos) << r.out;
        }
    }
    const CAppSettings settings = Loaded();
    EXPECT_EQ(settings.m_wJPEGQuality, 80);
    EXPECT_EQ(settings.m_crViewBackground, 0x00112233u);
    EXPECT_EQ(settings.m_strTitle, title);
    EXPECT_EQ(settings.m_rcMargins, (RectValue{1, 2, 3, 4}));
    EXPECT_EQ(settings.m_sizeJPEGDIP, (SizeValue{300, 96}));
    EXPECT_EQ(settings.Hotkey(Square), 0xC074);
    EXPECT_EQ(settings.Hotkey(Circle), 0);
    EXPECT_EQ(settings.Hotkey(Desktop), 0);
    EXPECT_EQ(settings.Hotkey(Polygon), 0xE07B);
    EXPECT_EQ(settings.Hotkey(Ellipse), 0);
    EXPECT_EQ(settings.m_wCaptureDelayTime, 100); // untouched values are not written
    EXPECT_EQ(ReadFileText(UserHive()).find("CaptureDelayTime"), std::string::npos);

    const ProcessResult one = Quorvi({"CaptureOptions/JPEGQuality"});
    EXPECT_EQ(one.exitCode, 0);
    EXPECT_NE(one.out.find("JPEGQuality"), std::string::npos);
    EXPECT_NE(one.out.find("80"), std::string::npos);
    const ProcessResult list = Quorvi({});
    EXPECT_EQ(LineOf(list.out, "JPEGQuality").find("(default)"), std::string::npos);
}

TEST_F(SettingsCommandTest, WrongTypesAndUnknownNamesAreUsageErrors) {
    const std::vector<std::string> bad[] = {
        {"CaptureOptions/JPEGQuality", "abc"},
        {"CaptureOptions/JPEGQuality", "-1"},
        {"CaptureOptions/JPEGQuality", "101"},
        {"PrintLayout/ImageCenterFlag", "65536"},
        {"CaptureOptions/OptionsA", "0x100000000"},
        {"PrintLayout/Margins", "1, 2, 3"},
        {"PrintLayout/SizePage", "1, x"},
        {"CaptureOptions/JPEGDIP", "-1, 5"},
        {"PrintLayout/Title", std::string(256, 't')},
        {"Hotkey/Square", "Hyper+Q"},
        {"Hotkey/Square", "4, 65"},
        {"Nowhere/Nothing", "1"},
        {"CaptureOptions/InstallPath", "/x"},
        {"JPEGQuality", "80"},
        {"CaptureOptions/", "80"},
        {"a/b", "c", "d"},
    };
    for (const auto& args : bad) {
        const ProcessResult r = Quorvi(args);
        EXPECT_EQ(r.exitCode, 2) << args[0] << " " << (args.size() > 1 ? args[1] : "");
        EXPECT_NE(r.err.find("Usage: quorvi settings"), std::string::npos) << r.err;
    }
    EXPECT_FALSE(std::filesystem::exists(UserHive()));
}

TEST_F(SettingsCommandTest, UnreadableStoreIsReportedWhenListing) {
    std::filesystem::create_directories(UserHive()); // a folder where the file belongs
    const ProcessResult r = Quorvi({});
    EXPECT_EQ(r.exitCode, 0);
    EXPECT_NE(r.err.find(UserHive().string()), std::string::npos) << r.err;
    EXPECT_NE(LineOf(r.out, "JPEGQuality").find("95"), std::string::npos);
}

TEST_F(SettingsCommandTest, StoreThatCannotBeWrittenFailsWithTheReason) {
    std::filesystem::remove_all(ConfigHome());
    WriteFileText(ConfigHome(), "in the way");
    const ProcessResult r = Quorvi({"CaptureOptions/JPEGQuality", "80"});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_NE(r.err.find("Not a directory"), std::string::npos) << r.err;
    EXPECT_EQ(ReadFileText(ConfigHome()), "in the way");
}

TEST_F(SettingsCommandTest, ValuesOutsideTheRecordKeepTheirStoredType) {
    const HiveLocations where = HiveLocations::FromEnvironment();
    CAppProfile profile(where);
    ASSERT_TRUE(profile.WriteProfileString("Recent File List", "File1", "/a.png"));
    ASSERT_TRUE(profile.WriteProfileString("Recent File List", "File2", "/b.jpg"));
    ASSERT_TRUE(profile.WriteProfileInt("Settings", "TVChildWinState", 1));
    ASSERT_TRUE(profile.WriteProfileBinary("Settings", "TVLogoFont", RegBinary{1, 2, 3}));

    const ProcessResult list = Quorvi({});
    ASSERT_EQ(list.exitCode, 0);
    EXPECT_NE(list.out.find("[Recent File List]"), std::string::npos) << list.out;
    EXPECT_NE(LineOf(list.out, "File2").find("\"/b.jpg\""), std::string::npos);
    EXPECT_NE(LineOf(list.out, "TVLogoFont").find("01 02 03"), std::string::npos);

    EXPECT_EQ(Quorvi({"Recent File List/File1", "/c.tif"}).exitCode, 0);
    EXPECT_EQ(Quorvi({"Settings/TVChildWinState", "0"}).exitCode, 0);
    EXPECT_EQ(Quorvi({"Settings/TVLogoFont", "0a ff"}).exitCode, 0);
    EXPECT_EQ(Quorvi({"Settings/TVChildWinState", "yes"}).exitCode, 2);
    EXPECT_EQ(Quorvi({"Settings/TVLogoFont", "100"}).exitCode, 2);
    EXPECT_EQ(Quorvi({"Settings/TVDispType", "1"}).exitCode, 2); // not stored: unknown

    EXPECT_EQ(profile.GetProfileString("Recent File List", "File1"), "/c.tif");
    EXPECT_EQ(profile.GetProfileString("Recent File List", "File2"), "/b.jpg");
    EXPECT_EQ(profile.GetProfileInt("Settings", "TVChildWinState", 7), 0u);
    EXPECT_EQ(profile.GetProfileBinary("Settings", "TVLogoFont"), (RegBinary{0x0a, 0xff}));
}

TEST_F(SettingsCommandTest, DamagedFileIsReportedAndKept) {
    WriteFileText(UserHive(), "Quorvi Registry Hive 1\n[software\\Quorvi\\Quorvi "
                              "Studio\\PrintLayout]\n\"Title\"=\"cut sh");
    const ProcessResult r = Quorvi({});
    EXPECT_EQ(r.exitCode, 0);
    EXPECT_NE(r.err.find("damaged"), std::string::npos) << r.err;
    EXPECT_NE(LineOf(r.out, "Title").find("(default)"), std::string::npos);
    EXPECT_TRUE(std::filesystem::exists(UserHive().string() + ".damaged"));
}

// A key line of a million levels (a 2 MB file) once crashed every start.
TEST_F(SettingsCommandTest, DeeplyNestedFileIsSetAside) {
    std::string line = "[software";
    for (int i = 0; i < 1'000'000; ++i)
        line += "\\a";
    WriteFileText(UserHive(), "Quorvi Registry Hive 1\n" + line + "]\n; end of hive\n");
    const ProcessResult r = Quorvi({});
    EXPECT_EQ(r.exitCode, 0) << r.err;
    EXPECT_NE(r.err.find("keys nest deeper than 16 levels"), std::string::npos) << r.err;
    EXPECT_NE(LineOf(r.out, "JPEGQuality").find("95"), std::string::npos);
    EXPECT_TRUE(std::filesystem::exists(UserHive().string() + ".damaged"));
}

TEST_F(SettingsCommandTest, RelativeFoldersAndPathsAsLeadNamesAreRefused) {
    const std::pair<std::vector<std::string>, const char*> refused[] = {
        {{"CaptureOptions/AutoSavePath", "Shots"}, "takes a full path starting with /"},
        {{"CaptureOptions/AutoSaveLeadFileName", "../x/y"}, "cannot hold '/'"},
        {{"CaptureOptions/AutoSaveImageType", "5"}, "between 0 and 4"},
        {{"PrintLayout/Margins", "-1, 0, 0, 0"}, "between 0 and 25400000"},
    };
    for (const auto& [args, message] : refused) {
        const ProcessResult r = Quorvi(args);
        EXPECT_EQ(r.exitCode, 2) << args[0];
        EXPECT_NE(r.err.find(message), std::string::npos) << r.err;
    }
    EXPECT_FALSE(std::filesystem::exists(UserHive()));
}
