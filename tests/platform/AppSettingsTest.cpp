// SPDX-License-Identifier: MIT
// Tests of the settings record: first start, the load quirks of each section, save order.
#include "platform/AppSettings.h"

#include "support/TempXdgTest.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <set>

using namespace platform;
using testsupport::ReadFileText;
using testsupport::WriteFileText;

namespace {

class AppSettingsTest : public testsupport::CTempXdgTest {
protected:
    void SetUp() override {
        CTempXdgTest::SetUp();
        std::filesystem::create_directories(Root() / "bin");
    }
    std::string ModulePath() const { return (Root() / "bin" / "quorvi-studio").string(); }
    std::filesystem::path UserHive() const { return ConfigHome() / "Quorvi" / "QuorviStudio.reg"; }

    // A user hive with the given sections, each "[Name]\n" followed by its value lines.
    void WriteHive(std::initializer_list<std::pair<const char*, std::string>> sections) {
        std::string text = "Quorvi Registry Hive 1\n";
        for (const auto& [name, lines] : sections)
            text += std::string("[software\\Quorvi\\Quorvi Studio\\") + name + "]\n" + lines + "\n";
        WriteFileText(UserHive(), text + "; end of hive\n");
    }

    CAppSettings Loaded() {
        CAppSettings settings(ModulePath());
        settings.Load();
        return settings;
    }
};

std::string Section(std::string_view name, std::string_view lines) {
    return "[software\\Quorvi\\Quorvi Studio\\" + std::string(name) + "]\n" + std::string(lines);
}

} // namespace

// The expected file is written out from the settings tables by hand (hotkey words in decimal).
TEST_F(AppSettingsTest, FirstStartWritesEveryDefaultInOrder) {
    CAppSettings settings = Loaded();
    EXPECT_EQ(settings.m_sizeJPEGDIP, (SizeValue{0, 0})); // absent: 0, 0, not the initial 720, 720
    EXPECT_EQ(settings.WorkingJpegOptions(), (JpegOptions{0, 95, 0, {0, 0}}));
    ASSERT_TRUE(settings.Save());
    const std::string text = ReadFileText(UserHive());

    const std::string printLayout = Section("PrintLayout", "\"SizePage\"=\"0, 0\"\n"
                                                           "\"SizePrint\"=\"0, 0\"\n"
                                                           "\"ImageCenterFlag\"=dword:00000003\n"
                                                           "\"Title\"=\"\"\n"
                                                           "\"PrintMode\"=dword:00000001\n"
                                                           "\"TitleAlign\"=dword:00000004\n"
                                                           "\"Margins\"=\"120, 120, 120, 120\"\n");
    const std::string hotkey = Section("Hotkey", "\"ActiveWindow\"=\"0, 8236\"\n"
                                                 "\"ActiveWindowClient\"=\"1, 57411\"\n"
                                                 "\"Control\"=\"2, 0\"\n"
                                                 "\"Square\"=\"3, 41043\"\n"
                                                 "\"Rectangle\"=\"4, 41042\"\n"
                                                 "\"Circle\"=\"5, 0\"\n"
                                                 "\"Ellipse\"=\"6, 41029\"\n"
                                                 "\"Polygon\"=\"7, 41040\"\n"
                                                 "\"PopupMenu\"=\"8, 49229\"\n"
                                                 "\"Desktop\"=\"9, 41028\"\n"
                                                 "\"SingleWindow\"=\"10, 0\"\n"
                                                 "\"RepeatLast\"=\"11, 49228\"\n"
                                                 "\"Default\"=\"12, 44\"\n");
    const std::string captureOptions =
        Section("CaptureOptions", "\"OptionsA\"=dword:0008167b\n"
                                  "\"ColorViewBackground\"=dword:00cc9966\n"
                                  "\"ColorImageBackground\"=dword:00c0c0c0\n"
                                  "\"ColorTransparency\"=dword:00c0c0c0\n"
                                  "\"DefaultCaptureAction\"=dword:00000009\n"
                                  "\"CaptureDelayTime\"=dword:00000064\n"
                                  "\"JPEGOptimizeCoding\"=dword:00000000\n"
                                  "\"JPEGQuality\"=dword:0000005f\n"
                                  "\"JPEGSmootingFactor\"=dword:00000000\n"
                                  "\"JPEGDIP\"=\"0, 0\"\n"
                                  "\"AutoSavePath\"=\"" +
                                      (Root() / "bin" / "Output").string() +
                                      "\"\n"
                                      "\"AutoSaveLeadFileName\"=\"Qorv\"\n"
                                      "\"AutoSaveOptions\"=dword:00000005\n"
                                      "\"AutoSaveDigitCount\"=dword:00000005\n"
                                      "\"AutoSaveStartNO\"=dword:00000001\n"
                                      "\"AutoSaveImageType\"=dword:00000001\n");
    const std::size_t p1 = text.find(printLayout), p2 = text.find(hotkey),
                      p3 = text.find(captureOptions);
    EXPECT_NE(p1, std::string::npos) << text;
    EXPECT_NE(p2, std::string::npos) << text;
    EXPECT_NE(p3, std::string::npos) << text;
    EXPECT_TRUE(p1 < p2 && p2 < p3) << "sections out of order";
    EXPECT_EQ(text.find("InstallPath"), std::string::npos);
}

TEST_F(AppSettingsTest, SavedRecordLoadsBackUnchanged) {
    CAppSettings settings(ModulePath());
    settings.m_sizePage = {2100, 2970};
    settings.m_strTitle = "Capture \"%1\"\nsecond line \\ Grüße";
    settings.m_rcMargins = {0, 1, 250, kMaxLayoutLength};
    settings.m_dwOptionsA = 0xFFFFFFFF;
    settings.m_sizeJPEGDIP = {300, 96};
    settings.SetHotkey(Polygon, 0xE07B); // Ctrl+Shift+Alt+F12
    settings.m_dwAutoSaveStartNO = 999999;
    ASSERT_TRUE(settings.Save());
    CAppSettings back = Loaded();
    EXPECT_EQ(back.m_sizePage, settings.m_sizePage);
    EXPECT_EQ(back.m_strTitle, settings.m_strTitle);
    EXPECT_EQ(back.m_rcMargins, settings.m_rcMargins);
    EXPECT_EQ(back.m_dwOptionsA, settings.m_dwOptionsA);
    EXPECT_EQ(back.m_sizeJPEGDIP, settings.m_sizeJPEGDIP);
    EXPECT_EQ(back.Hotkeys(), settings.Hotkeys());
    EXPECT_EQ(back.m_dwAutoSaveStartNO, 999999u);
    EXPECT_EQ(back.WorkingJpegOptions(), back.StoredJpegOptions());
}

TEST_F(AppSettingsTest, HotkeyWordsLandAtTheStoredIndex) {
    WriteHive({{"Hotkey", "\"Control\"=\"38, 67\"\n"   // 38 mod 35 = 3: Square's slot
                          "\"Square\"=\"20, 65\"\n"    // spare slot 20; slot 3 keeps 67
                          "\"Rectangle\"=\"4\"\n"      // index only: the word stays
                          "\"Ellipse\"=\"-1, 68\"\n"   // never outside the table: slot 34
                          "\"Polygon\"=\"7, 70000\"\n" // low 16 bits: 4464
                          "\"RepeatLast\"=\"99999999999, 5\"\n"}}); // index unreadable: own slot
    CAppSettings settings = Loaded();
    const HotkeyTable& table = settings.Hotkeys();
    EXPECT_EQ(table[Control], 0);
    EXPECT_EQ(table[Square], 67);
    EXPECT_EQ(table[20], 65);
    EXPECT_EQ(table[Rectangle], 0xA052);
    EXPECT_EQ(table[Ellipse], 0xA045);
    EXPECT_EQ(table[34], 68);
    EXPECT_EQ(table[Polygon], 4464);
    EXPECT_EQ(table[RepeatLast], 5);

    ASSERT_TRUE(settings.Save());
    const std::string text = ReadFileText(UserHive());
    EXPECT_NE(text.find("\"Square\"=\"3, 67\"\n"), std::string::npos) << text;
    EXPECT_NE(text.find("\"Control\"=\"2, 0\"\n"), std::string::npos);
    EXPECT_EQ(text.find("\"20, "), std::string::npos); // spare slots are not written
}

TEST_F(AppSettingsTest, EverydayShortcutsAreNoHotkeyUnlessTheUserStoredThem) {
    // Without stored words Control, Circle and SingleWindow have no hotkey (Ctrl+N, Ctrl+Shift+C
    // and Ctrl+Shift+S stay with the programs that use them); the others keep theirs.
    const HotkeyTable fresh = Loaded().Hotkeys();
    EXPECT_EQ(fresh[Control], 0);
    EXPECT_EQ(fresh[Circle], 0);
    EXPECT_EQ(fresh[SingleWindow], 0);
    EXPECT_EQ(fresh[Desktop], 0xA044);
    // A user who chose those keys keeps them.
    WriteHive({{"Hotkey", "\"Control\"=\"2, 32846\"\n"
                          "\"Circle\"=\"5, 49219\"\n"
                          "\"SingleWindow\"=\"10, 49235\"\n"}});
    const HotkeyTable stored = Loaded().Hotkeys();
    EXPECT_EQ(stored[Control], 0x804E);
    EXPECT_EQ(stored[Circle], 0xC043);
    EXPECT_EQ(stored[SingleWindow], 0xC053);
}

TEST_F(AppSettingsTest, LongStringsAreCutToTheirCaps) {
    std::string title;
    for (int i = 0; i < 150; ++i)
        title += "ab€"; // 3 characters, 5 bytes each round
    const std::string path = "/" + std::string(400, 'p');
    const std::string lead(200, 'L');
    WriteHive(
        {{"PrintLayout", "\"Title\"=" + QuoteHiveString(title) + "\n"},
         {"CaptureOptions", "\"AutoSavePath\"=" + QuoteHiveString(path) +
                                "\n\"AutoSaveLeadFileName\"=" + QuoteHiveString(lead) + "\n"}});
    CAppSettings settings = Loaded();
    std::string expectedTitle;
    for (int i = 0; i < 85; ++i)
        expectedTitle += "ab€";
    EXPECT_EQ(CountCharacters(settings.m_strTitle), 255u);
    EXPECT_EQ(settings.m_strTitle, expectedTitle);
    EXPECT_EQ(settings.m_strAutoSavePath, path.substr(0, 259));
    EXPECT_EQ(settings.m_strAutoSaveLeadFileName, lead.substr(0, 127));
}

TEST_F(AppSettingsTest, CounterResetFlagRestartsAtOneOnEveryStart) {
    WriteHive({{"CaptureOptions",
                "\"AutoSaveOptions\"=dword:00000007\n\"AutoSaveStartNO\"=dword:000001f4\n"}});
    CAppSettings first = Loaded();
    EXPECT_EQ(first.m_dwAutoSaveStartNO, 500u); // loading alone does not reset
    first.ApplyStartupCounterReset();
    EXPECT_EQ(first.m_dwAutoSaveStartNO, 1u);
    first.m_dwAutoSaveStartNO = 42; // this run's captures
    ASSERT_TRUE(first.Save());
    CAppSettings second = Loaded();
    EXPECT_EQ(second.m_dwAutoSaveStartNO, 42u);
    second.ApplyStartupCounterReset();
    EXPECT_EQ(second.m_dwAutoSaveStartNO, 1u);

    second.m_dwAutoSaveOptions = autosave::kReplaceExisting;
    second.m_dwAutoSaveStartNO = 42;
    ASSERT_TRUE(second.Save());
    CAppSettings third = Loaded();
    third.ApplyStartupCounterReset();
    EXPECT_EQ(third.m_dwAutoSaveStartNO, 42u);
}

TEST_F(AppSettingsTest, ValuesOfTheWrongTypeKeepTheirDefaults) {
    WriteHive({{"PrintLayout",
                "\"ImageCenterFlag\"=\"7\"\n\"Title\"=dword:00000001\n\"Margins\"=dword:00000005\n"
                "\"SizePage\"=hex:01,02\n\"PrintMode\"=\"2\"\n"},
               {"Hotkey", "\"Square\"=dword:00000003\n"},
               {"CaptureOptions",
                "\"OptionsA\"=\"0x1\"\n\"JPEGQuality\"=\"50\"\n\"JPEGDIP\"=dword:00000060\n"
                "\"AutoSaveLeadFileName\"=hex:41\n"}});
    CAppSettings defaults(ModulePath());
    CAppSettings settings = Loaded();
    EXPECT_EQ(settings.m_wImageCenterFlag, defaults.m_wImageCenterFlag);
    EXPECT_EQ(settings.m_strTitle, defaults.m_strTitle);
    EXPECT_EQ(settings.m_rcMargins, defaults.m_rcMargins);
    EXPECT_EQ(settings.m_sizePage, defaults.m_sizePage);
    EXPECT_EQ(settings.m_dwPrintMode, defaults.m_dwPrintMode);
    EXPECT_EQ(settings.Hotkeys(), defaults.Hotkeys());
    EXPECT_EQ(settings.m_dwOptionsA, defaults.m_dwOptionsA);
    EXPECT_EQ(settings.m_wJPEGQuality, defaults.m_wJPEGQuality);
    EXPECT_EQ(settings.m_strAutoSaveLeadFileName, "Qorv");
    EXPECT_EQ(settings.m_sizeJPEGDIP, (SizeValue{0, 0})); // unreadable counts as absent
}

TEST_F(AppSettingsTest, JpegDipTakesOnlyComponentsThatAreNotNegative) {
    WriteHive({{"CaptureOptions", "\"JPEGDIP\"=\"-5, 300\"\n"}});
    EXPECT_EQ(Loaded().m_sizeJPEGDIP, (SizeValue{720, 300}));
    WriteHive({{"CaptureOptions", "\"JPEGDIP\"=\"96\"\n"}});
    EXPECT_EQ(Loaded().m_sizeJPEGDIP, (SizeValue{96, 0}));
}

TEST_F(AppSettingsTest, WorkingJpegOptionsAreASeparateCopyThatIsNeverSaved) {
    WriteHive({{"CaptureOptions", "\"JPEGQuality\"=dword:00000046\n\"JPEGDIP\"=\"150, 150\"\n"}});
    CAppSettings settings = Loaded();
    EXPECT_EQ(settings.WorkingJpegOptions(), (JpegOptions{0, 70, 0, {150, 150}}));
    settings.WorkingJpegOptions().wQuality = 80;
    settings.WorkingJpegOptions().sizeDip = {10, 10};
    EXPECT_EQ(settings.m_wJPEGQuality, 70);
    ASSERT_TRUE(settings.Save());
    CAppSettings back = Loaded();
    EXPECT_EQ(back.m_wJPEGQuality, 70);
    EXPECT_EQ(back.m_sizeJPEGDIP, (SizeValue{150, 150}));
}

TEST_F(AppSettingsTest, InstallPathReplacesTheProgramPath) {
    const std::filesystem::path machine = SystemConfigDir() / "Quorvi" / "QuorviStudio.reg";
    auto writeInstallPath = [&](const std::string& value) {
        WriteFileText(
            machine, "Quorvi Registry Hive 1\n[software\\Quorvi\\Quorvi Studio]\n\"InstallPath\"=" +
                         QuoteHiveString(value) + "\n; end of hive\n");
    };
    EXPECT_EQ(Loaded().ProgramPath(), ModulePath());
    writeInstallPath("/opt/quorvi/quorvi-studio");
    CAppSettings settings = Loaded();
    EXPECT_EQ(settings.ProgramPath(), "/opt/quorvi/quorvi-studio");
    EXPECT_EQ(settings.m_strAutoSavePath,
              (Root() / "bin" / "Output").string()); // fixed at construction
    ASSERT_TRUE(settings.Save());
    EXPECT_EQ(ReadFileText(UserHive()).find("InstallPath"), std::string::npos);

    const std::string longest = "/" + std::string(258, 'i');
    writeInstallPath(longest);
    EXPECT_EQ(Loaded().ProgramPath(), longest);
    writeInstallPath(longest + "x"); // a cut path would be wrong: not taken at all
    EXPECT_EQ(Loaded().ProgramPath(), ModulePath());
    writeInstallPath("relative/quorvi-studio");
    EXPECT_EQ(Loaded().ProgramPath(), ModulePath());
}

TEST_F(AppSettingsTest, SaveReportsAStoreThatCannotBeWritten) {
    std::filesystem::remove_all(ConfigHome());
    WriteFileText(ConfigHome(), "in the way");
    CAppSettings settings(ModulePath());
    settings.Load();
    std::string error;
    EXPECT_FALSE(settings.Save(HiveLocations::FromEnvironment(), &error));
    EXPECT_NE(error.find("Not a directory"), std::string::npos) << error;
}

TEST_F(AppSettingsTest, FieldTableNamesEachValueOnce) {
    std::set<std::string> seen;
    for (const SettingField& field : SettingFields()) {
        std::string key = std::string(field.section) + "/" + std::string(field.name);
        std::transform(key.begin(), key.end(), key.begin(), ::tolower);
        EXPECT_TRUE(seen.insert(key).second) << key;
        EXPECT_EQ(FindSettingField(field.section, field.name), &field);
    }
    EXPECT_EQ(seen.size(), 7u + 13u + 17u);
    EXPECT_NE(FindSettingField("captureoptions", "jpegquality"), nullptr);
    EXPECT_EQ(FindSettingField("CaptureOptions", "InstallPath"), nullptr);
}

// Values no editor stores come back in their ranges, so no user of the record sees them: an
// image type of 0xffffffff made every automatic save fail.
TEST_F(AppSettingsTest, OutOfRangeValuesAreClampedOrGiveTheDefault) {
    WriteHive({{"PrintLayout", "\"SizePage\"=\"-1, 2147483647\"\n"
                               "\"SizePrint\"=\"-2147483648, 2100\"\n"
                               "\"ImageCenterFlag\"=dword:00010003\n\"PrintMode\"=dword:0\n"
                               "\"Margins\"=\"-5, 2147483647, 0, 99\"\n"},
               {"CaptureOptions", "\"ColorViewBackground\"=dword:ff123456\n"
                                  "\"DefaultCaptureAction\"=dword:0000000b\n"
                                  "\"CaptureDelayTime\"=dword:ffffffff\n"
                                  "\"JPEGOptimizeCoding\"=dword:2\n"
                                  "\"JPEGQuality\"=dword:00010032\n"
                                  "\"JPEGDIP\"=\"99999, 300\"\n"
                                  "\"AutoSaveDigitCount\"=dword:0\n"
                                  "\"AutoSaveStartNO\"=dword:ffffffff\n"
                                  "\"AutoSaveImageType\"=dword:ffffffff\n"}});
    CAppSettings settings = Loaded();
    EXPECT_EQ(settings.m_sizePage, (SizeValue{0, kMaxLayoutLength}));
    EXPECT_EQ(settings.m_sizePrint, (SizeValue{0, 2100}));
    EXPECT_EQ(settings.m_wImageCenterFlag, 3);
    EXPECT_EQ(settings.m_dwPrintMode, 1u);
    EXPECT_EQ(settings.m_rcMargins, (RectValue{0, kMaxLayoutLength, 0, 99}));
    EXPECT_EQ(settings.m_crViewBackground, 0x00123456u);
    EXPECT_EQ(settings.m_dwDefaultCaptureAction, std::uint32_t{Desktop});
    EXPECT_EQ(settings.m_wCaptureDelayTime, 5000);
    EXPECT_EQ(settings.m_wJPEGOptimizeCoding, 1);
    EXPECT_EQ(settings.m_wJPEGQuality, 100); // the whole number counts, not its low 16 bits
    EXPECT_EQ(settings.m_sizeJPEGDIP, (SizeValue{10000, 300}));
    EXPECT_EQ(settings.m_wAutoSaveDigitCount, 2);
    EXPECT_EQ(settings.m_dwAutoSaveStartNO, 1000000u); // run out, so no name is used twice
    EXPECT_EQ(settings.m_dwAutoSaveImageType, 1u);
    ASSERT_TRUE(settings.Save());
    EXPECT_NE(ReadFileText(UserHive()).find("\"AutoSaveImageType\"=dword:00000001"),
              std::string::npos);
}

// The current folder follows the last file opened: a relative output folder sent captures to
// a different place each time, and a lead name "../x/y" outside the output folder.
TEST_F(AppSettingsTest, RelativeFoldersAreTakenFromHomeAndLeadNamesHoldNoPath) {
    WriteHive({{"CaptureOptions",
                "\"AutoSavePath\"=\"Shots/new\"\n\"AutoSaveLeadFileName\"=\"../x/y\"\n"}});
    CAppSettings settings = Loaded();
    EXPECT_EQ(settings.m_strAutoSavePath, (Home() / "Shots/new").string());
    EXPECT_EQ(settings.m_strAutoSaveLeadFileName, "Qorv");
    WriteHive({{"CaptureOptions",
                "\"AutoSavePath\"=\"~/Shots\"\n\"AutoSaveLeadFileName\"=\"a\\x00b\"\n"}});
    settings = Loaded();
    EXPECT_EQ(settings.m_strAutoSavePath, (Home() / "Shots").string());
    EXPECT_EQ(settings.m_strAutoSaveLeadFileName, "Qorv");
}
