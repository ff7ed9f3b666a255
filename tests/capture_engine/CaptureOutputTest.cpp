// SPDX-License-Identifier: MIT
// Capture output rules: where a delivery goes, the order of the image window's outputs, and the
// automatic file name with its messages and counter, on a real directory.
#include "EngineFixture.h"

#include "capture/engine/CaptureDocManager.h"
#include "capture/engine/CaptureOutput.h"
#include "capture/engine/CaptureSound.h"
#include "framework/CommandIds.h"
#include "framework/StringTable.h"
#include "framework/UiServices.h"
#include "support/TempXdgTest.h"
#include "support/TestSupport.h"

#include <fstream>
#include <string>

namespace opt = platform::options;

namespace {

class CRecordingOutput : public capture::ICaptureOutputTarget {
public:
    void CopyToClipboard() override { steps += "clipboard "; }
    void SaveCapture(bool bAutoName) override { steps += bAutoName ? "autosave " : "save "; }
    void PrintCapture(bool bWithoutDialog) override {
        steps += bWithoutDialog ? "print-direct " : "print ";
    }
    std::string steps;
};

class AutoSavePrompt : public ::testing::Test {
protected:
    void SetUp() override {
        m_ui.SetMessageBoxes(&m_boxes);
        m_settings.m_strAutoSavePath = m_dir.Path().string();
        m_settings.m_strAutoSaveLeadFileName = "Qorv";
        m_settings.m_wAutoSaveDigitCount = 5;
        m_settings.m_dwAutoSaveStartNO = 7;
        m_settings.m_dwAutoSaveImageType = 1;
        m_settings.m_dwAutoSaveOptions = platform::autosave::kWrapCounter;
    }
    void TearDown() override { m_ui.SetMessageBoxes(nullptr); }

    testsupport::CTempDir m_dir;
    testsupport::CScriptedMessageBoxes m_boxes;
    CUiServices m_ui;
    platform::CAppSettings m_settings{"/nonexistent/quorvi-studio"};
    testsupport::CTempDir m_hiveDir;
    platform::HiveLocations m_locations{m_hiveDir.Path() / "QuorviStudio.reg", {}};
    capture::CounterStoreState m_counter;
};

} // namespace

TEST(CaptureDelivery, ClipboardOnlyWhenNothingElseIsAsked) {
    EXPECT_FALSE(capture::DeliveryOpensDocument(opt::kCopyToClipboard));
    EXPECT_FALSE(capture::DeliveryOpensDocument(opt::kCopyToClipboard | opt::kAutoNameFile |
                                                opt::kPlaySound));
    EXPECT_TRUE(capture::DeliveryOpensDocument(0)) << "no output at all still shows the capture";
    EXPECT_TRUE(capture::DeliveryOpensDocument(opt::kPrintCapture)) << "printing needs the window";
    EXPECT_TRUE(capture::DeliveryOpensDocument(opt::kCopyToClipboard | opt::kSaveToFile));
    EXPECT_TRUE(capture::DeliveryOpensDocument(opt::kCopyToClipboard | opt::kOpenImageWindow));
}

TEST(CaptureDelivery, OutputsRunClipboardSavePrintInThisOrder) {
    CRecordingOutput all;
    capture::RunCaptureOutput(opt::kPrintCapture | opt::kPrintWithoutDialog | opt::kSaveToFile |
                                  opt::kAutoNameFile | opt::kCopyToClipboard |
                                  opt::kOpenImageWindow,
                              all);
    EXPECT_EQ(all.steps, "clipboard autosave print-direct ");
    CRecordingOutput some;
    capture::RunCaptureOutput(opt::kSaveToFile | opt::kPrintCapture, some);
    EXPECT_EQ(some.steps, "save print ");
    CRecordingOutput none;
    capture::RunCaptureOutput(opt::kOpenImageWindow | opt::kAutoNameFile, none);
    EXPECT_EQ(none.steps, "");
}

TEST_F(AutoSavePrompt, NameAdvancesTheCounterBeforeAnythingIsWritten) {
    const std::optional<QString> name =
        capture::PromptAutoSaveFileName(m_settings, m_ui, m_locations, m_counter);
    ASSERT_TRUE(name);
    EXPECT_EQ(name->toStdString(), (m_dir.Path() / "Qorv00007.jpg").string());
    EXPECT_EQ(m_settings.m_dwAutoSaveStartNO, 8u);
    EXPECT_TRUE(m_boxes.m_shown.empty());
    EXPECT_FALSE(std::filesystem::exists(m_dir.Path() / "Qorv00007.jpg"));
    // Already stored, and nothing else with it: the rest of the record waits for the exit.
    platform::CAppSettings stored{"/nonexistent/quorvi-studio"};
    stored.m_dwAutoSaveStartNO = 1;
    stored.Load(m_locations);
    EXPECT_EQ(stored.m_dwAutoSaveStartNO, 8u);
    const std::string text = testsupport::ReadFileText(m_locations.userHive);
    EXPECT_EQ(text.find("OptionsA"), std::string::npos) << text;
    EXPECT_EQ(text.find("PrintLayout"), std::string::npos) << text;
}

TEST_F(AutoSavePrompt, ExistingFileAsksOnceAndOnlyYesReplaces) {
    std::ofstream(m_dir.Path() / "QORV00007.jpg") << "old";
    m_settings.m_dwAutoSaveOptions = 0;
    m_boxes.m_answers = {EMsgResult::No, EMsgResult::Cancel, EMsgResult::Yes};
    EXPECT_FALSE(capture::PromptAutoSaveFileName(m_settings, m_ui, m_locations, m_counter));
    EXPECT_FALSE(capture::PromptAutoSaveFileName(m_settings, m_ui, m_locations, m_counter));
    EXPECT_EQ(m_settings.m_dwAutoSaveStartNO, 7u) << "a declined name keeps its number";
    const std::optional<QString> name =
        capture::PromptAutoSaveFileName(m_settings, m_ui, m_locations, m_counter);
    ASSERT_TRUE(name);
    EXPECT_EQ(name->toStdString(), (m_dir.Path() / "QORV00007.jpg").string())
        << "the file that is there";
    EXPECT_EQ(m_settings.m_dwAutoSaveStartNO, 8u);
    ASSERT_EQ(m_boxes.m_shown.size(), 3u);
    EXPECT_EQ(m_boxes.m_shown[0].strText, FormatString1(IDS_FILE_EXISTS, *name));
    EXPECT_EQ(m_boxes.m_shown[0].buttons, EMsgButtons::YesNoCancel);
    EXPECT_EQ(m_boxes.m_shown[0].icon, EMsgIcon::Question);
}

TEST_F(AutoSavePrompt, ACounterThatCannotBeStoredNeverReplacesAnEarlierRunsCaptures) {
    // The last run could not store its counter either: this run starts from the same number,
    // with replacing and wrapping on, as by default.
    std::ofstream(m_dir.Path() / "Qorv00007.JPG") << "earlier run";
    std::ofstream(m_dir.Path() / "qorv00008.jpg") << "earlier run";
    m_settings.m_dwAutoSaveOptions =
        platform::autosave::kReplaceExisting | platform::autosave::kWrapCounter;
    std::ofstream(m_hiveDir.Path() / "not-a-folder") << "";
    const platform::HiveLocations unwritable{m_hiveDir.Path() / "not-a-folder" / "hive.reg", {}};
    const auto next = [&] {
        return capture::PromptAutoSaveFileName(m_settings, m_ui, unwritable, m_counter)
            .value_or(QString())
            .toStdString();
    };
    EXPECT_EQ(next(), (m_dir.Path() / "Qorv00009.jpg").string());
    EXPECT_EQ(next(), (m_dir.Path() / "Qorv00010.jpg").string());
    EXPECT_EQ(m_settings.m_dwAutoSaveStartNO, 11u);
    ASSERT_EQ(m_boxes.m_shown.size(), 1u) << "said once";
    EXPECT_TRUE(m_boxes.m_shown[0].strText.startsWith(u"The settings cannot be written"))
        << m_boxes.m_shown[0].strText.toStdString();
}

TEST_F(AutoSavePrompt, MissingDirectoryAndExhaustedCounterSayWhy) {
    m_settings.m_strAutoSavePath = (m_dir.Path() / "missing").string();
    EXPECT_FALSE(capture::PromptAutoSaveFileName(m_settings, m_ui, m_locations, m_counter));
    ASSERT_EQ(m_boxes.m_shown.size(), 1u);
    EXPECT_EQ(
        m_boxes.m_shown[0].strText,
        FormatString1(IDS_NO_DIRECTORY, QString::fromStdString(m_settings.m_strAutoSavePath)));

    m_settings.m_strAutoSavePath = m_dir.Path().string();
    m_settings.m_dwAutoSaveOptions = 0;
    m_settings.m_dwAutoSaveStartNO = 100000;
    EXPECT_FALSE(capture::PromptAutoSaveFileName(m_settings, m_ui, m_locations, m_counter));
    ASSERT_EQ(m_boxes.m_shown.size(), 2u);
    EXPECT_EQ(m_boxes.m_shown[1].strText, LoadString(IDS_COUNTER_MAX));
    EXPECT_EQ(m_settings.m_dwAutoSaveStartNO, 100000u);
}

TEST(CaptureSound, PlaysOrGivesUpWithoutHangingAndNeverOverlaps) {
    CCaptureSound sound;
    const bool bStarted = sound.Play();
    if (bStarted) {
        EXPECT_FALSE(sound.Play()) << "a second sound waits for nobody while the first plays";
        EXPECT_TRUE(PumpEvents([&] { return !sound.IsPlaying(); }, 10000));
    } else {
        EXPECT_FALSE(sound.IsPlaying());
        EXPECT_FALSE(sound.Play()) << "no device: later captures do not try again";
    }
}

TEST_F(AutoSavePrompt, DocumentManagerNamesOnlyAutomaticSaves) {
    m_settings.m_dwOptionsA = opt::kSaveToFile | opt::kAutoNameFile;
    CCaptureDocManager manager(m_settings, m_locations, m_ui, nullptr);
    QString strName;
    // A save the user asked for: the usual dialog, which the display-less fallback cancels.
    EXPECT_FALSE(manager.DoPromptFileName(strName, IDS_SAVE_FILE, false, nullptr, ESaveKind::User));
    EXPECT_FALSE(
        manager.DoPromptFileName(strName, IDS_OPEN_FILE, true, nullptr, ESaveKind::Automatic))
        << "opening is never named";
    ASSERT_TRUE(
        manager.DoPromptFileName(strName, IDS_SAVE_FILE, false, nullptr, ESaveKind::Automatic));
    EXPECT_EQ(strName.toStdString(), (m_dir.Path() / "Qorv00007.jpg").string());
    EXPECT_EQ(m_settings.m_dwAutoSaveStartNO, 8u);
    // Automatic names off: an automatic save asks too.
    m_settings.m_dwOptionsA = opt::kSaveToFile;
    EXPECT_FALSE(
        manager.DoPromptFileName(strName, IDS_SAVE_FILE, false, nullptr, ESaveKind::Automatic));
    EXPECT_EQ(m_settings.m_dwAutoSaveStartNO, 8u);
}
