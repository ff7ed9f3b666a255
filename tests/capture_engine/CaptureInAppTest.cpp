// SPDX-License-Identifier: MIT
// Captures through the desktop program itself: the main frame's capture command, delivery
// into a new image window whose outputs save under the automatic name, and clipboard-only
// delivery without a window.
#include "EngineFixture.h"

#include "app/CaptureShell.h"
#include "app/MainFrame.h"
#include "app/TavixCaptureApp.h"
#include "document/TavixCaptureDoc.h"
#include "framework/CommandIds.h"
#include "framework/DocManager.h"
#include "framework/StringTable.h"
#include "framework/ui/CommandDispatcher.h"
#include "support/TempXdgTest.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QImage>

#include <filesystem>

namespace opt = platform::options;
using capturetest::CTestWindow;

namespace {

class CaptureInApp : public testsupport::CTempXdgTest {
protected:
    void SetUp() override {
        CTempXdgTest::SetUp();
        REQUIRE_X_SERVER_PROGRAMS();
        ASSERT_TRUE(EngineTestServer());
        m_peer = xcb_connect(EngineTestServer()->DisplayName().c_str(), nullptr);
        ASSERT_FALSE(xcb_connection_has_error(m_peer));
    }
    void TearDown() override {
        m_pApp.reset();
        if (m_peer)
            xcb_disconnect(m_peer);
        CTempXdgTest::TearDown();
    }

    // bOwnOutput: automatic saves go to the test's "Output" folder; otherwise the stored one.
    void Start(std::uint32_t dwOptionsA, bool bOwnOutput = true) {
        m_pApp = std::make_unique<CTavixCaptureApp>();
        m_pApp->SetHiveLocations(platform::HiveLocations::FromEnvironment());
        ASSERT_TRUE(m_pApp->InitInstance({}));
        m_pApp->Ui().SetMessageBoxes(&m_boxes);
        platform::CAppSettings& settings = m_pApp->Settings();
        settings.m_dwOptionsA = dwOptionsA;
        settings.m_wCaptureDelayTime = 0;
        if (bOwnOutput) {
            settings.m_strAutoSavePath = (Root() / "Output").string();
            std::filesystem::create_directories(Root() / "Output");
        }
        settings.m_strAutoSaveLeadFileName = "Qorv";
        settings.m_wAutoSaveDigitCount = 5;
        settings.m_dwAutoSaveStartNO = 1;
        settings.m_dwAutoSaveImageType = 2; // PNG: the pixels come back exactly
        ASSERT_NE(m_pApp->CaptureShell(), nullptr);
        ASSERT_TRUE(PumpEvents([&] { return m_pApp->MainFrame()->isVisible(); }));
    }
    bool Run(unsigned nID) { return m_pApp->MainFrame()->Dispatcher().Execute(nID); }
    bool WaitIdle() {
        return PumpEvents([&] { return !m_pApp->CaptureShell()->Engine().IsBusy(); });
    }

    std::unique_ptr<CTavixCaptureApp> m_pApp;
    testsupport::CScriptedMessageBoxes m_boxes;
    xcb_connection_t* m_peer = nullptr;
};

RGBQuad ImagePixel(const QImage& image, int x, int y) {
    const QRgb rgb = image.pixel(x, y);
    return RGBQuad{std::uint8_t(qBlue(rgb)), std::uint8_t(qGreen(rgb)), std::uint8_t(qRed(rgb)), 0};
}

RGBQuad Pattern(int x, int y, int seed) {
    return capturetest::ScreenPixel(capturetest::PatternPixel(x, y, seed), 24);
}

} // namespace

TEST_F(CaptureInApp, DesktopCommandOpensAnImageWindowSavedUnderTheAutomaticName) {
    Start(opt::kShowAfterCapture | opt::kOpenImageWindow | opt::kSaveToFile | opt::kAutoNameFile);
    CTestWindow window(m_peer, {.rc = {100, 80, 403, 281}, .seed = 21, .bOverrideRedirect = true});
    ASSERT_TRUE(window.WaitMapped(false));
    EXPECT_FALSE(m_pApp->MainFrame()->Dispatcher().IsEnabled(ID_CAPTURE_REPEAT_LAST));
    ASSERT_TRUE(Run(ID_CAPTURE_DESKTOP));
    const std::filesystem::path saved = Root() / "Output" / "Qorv00001.PNG";
    ASSERT_TRUE(PumpEvents([&] {
        return std::filesystem::exists(saved) && !m_pApp->CaptureShell()->Engine().IsBusy();
    }));
    EXPECT_EQ(m_pApp->Settings().m_dwAutoSaveStartNO, 2u);
    const QImage image(QString::fromStdString(saved.string()));
    ASSERT_EQ(image.width(), 1280);
    ASSERT_EQ(image.height(), 1024);
    for (auto [x, y] : {std::pair{100, 80}, std::pair{250, 180}, std::pair{402, 280}})
        EXPECT_EQ(ImagePixel(image, x, y), Pattern(x - 100, y - 80, 21)) << x << "," << y;
    ASSERT_EQ(m_pApp->DocManager().GetOpenDocumentCount(), 1) << "the image window stays open";
    auto* pDoc = dynamic_cast<CTavixCaptureDoc*>(m_pApp->DocManager().Documents().front());
    ASSERT_NE(pDoc, nullptr);
    EXPECT_EQ(pDoc->GetImage()->Width(), 1280);
    EXPECT_TRUE(m_pApp->MainFrame()->Dispatcher().IsEnabled(ID_CAPTURE_REPEAT_LAST));
    EXPECT_TRUE(m_boxes.m_shown.empty());

    // The next capture takes the next number.
    ASSERT_TRUE(Run(ID_CAPTURE_REPEAT_LAST));
    EXPECT_TRUE(
        PumpEvents([&] { return std::filesystem::exists(Root() / "Output" / "Qorv00002.PNG"); }));
    EXPECT_TRUE(WaitIdle());
}

TEST_F(CaptureInApp, ClipboardOnlyPutsTheCaptureThereWithoutAWindow) {
    Start(opt::kShowAfterCapture | opt::kCopyToClipboard);
    CTestWindow window(m_peer, {.rc = {100, 80, 403, 281}, .seed = 22, .bOverrideRedirect = true});
    ASSERT_TRUE(window.WaitMapped(false));
    QGuiApplication::clipboard()->clear();
    ASSERT_TRUE(Run(ID_CAPTURE_DESKTOP));
    ASSERT_TRUE(PumpEvents([&] { return !QGuiApplication::clipboard()->image().isNull(); }));
    EXPECT_TRUE(WaitIdle());
    const QImage image = QGuiApplication::clipboard()->image();
    ASSERT_EQ(image.width(), 1280);
    EXPECT_EQ(ImagePixel(image, 200, 150), Pattern(100, 70, 22));
    EXPECT_EQ(m_pApp->DocManager().GetOpenDocumentCount(), 0);
    EXPECT_TRUE(PumpEvents([&] { return m_pApp->MainFrame()->isVisible(); }));
}

TEST_F(CaptureInApp, AMissingConfiguredFolderStaysMissingAndTheAutomaticSaveSaysSo) {
    // Only the default output folder is made at start-up; a configured one that is gone (an
    // unmounted disk, a typing error) is reported, not silently made somewhere else.
    const std::filesystem::path missing = Root() / "Shots" / "2024";
    platform::CAppSettings stored;
    stored.m_strAutoSavePath = missing.string();
    ASSERT_TRUE(stored.Save(platform::HiveLocations::FromEnvironment()));
    Start(opt::kShowAfterCapture | opt::kOpenImageWindow | opt::kSaveToFile | opt::kAutoNameFile,
          false);
    EXPECT_EQ(m_pApp->Settings().m_strAutoSavePath, missing.string());
    EXPECT_FALSE(std::filesystem::exists(Root() / "Shots")) << "created at start-up";

    ASSERT_TRUE(Run(ID_CAPTURE_DESKTOP));
    ASSERT_TRUE(PumpEvents([&] { return !m_boxes.shown.empty(); }));
    EXPECT_TRUE(WaitIdle());
    ASSERT_EQ(m_boxes.shown.size(), 1u);
    EXPECT_EQ(m_boxes.shown[0].strText,
              FormatString1(IDS_NO_DIRECTORY, QString::fromStdString(missing.string())));
    EXPECT_FALSE(std::filesystem::exists(Root() / "Shots"));
    EXPECT_EQ(m_pApp->Settings().m_dwAutoSaveStartNO, 1u) << "no number used up";
    ASSERT_EQ(m_pApp->DocManager().GetOpenDocumentCount(), 1) << "the capture stays open";
    EXPECT_TRUE(m_pApp->DocManager().Documents().front()->IsModified());
}
