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
#include "framework/RecentFileList.h"
#include "framework/StringTable.h"
#include "framework/ui/CommandDispatcher.h"
#include "framework/ui/MultiDocTemplate.h"
#include "image/MemoryBitmap.h"
#include "support/TempXdgTest.h"
#include "support/XClient.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QDialog>
#include <QGuiApplication>
#include <QImage>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>

#include <X11/keysym.h>

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
        {
            // Started as these options say (shown, not hidden to a tray).
            const platform::HiveLocations locations = platform::HiveLocations::FromEnvironment();
            platform::CAppSettings stored;
            stored.Load(locations);
            stored.m_dwOptionsA = dwOptionsA;
            ASSERT_TRUE(stored.Save(locations));
        }
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
    CMainFrame& Frame() const { return *m_pApp->MainFrame(); }
    bool WaitPicking() {
        return PumpEvents([&] {
            return m_pApp->CaptureShell()->Engine().State() == CCaptureEngine::EState::Picking;
        });
    }
    // A new image window of w x h pixels.
    QMdiSubWindow* OpenImage(int w, int h) {
        CMemoryBitmap bitmap;
        bitmap.Create(w, h, 32);
        CTavixCaptureDoc* pDoc = CTavixCaptureDoc::OpenNew(*m_pApp->DocTemplate(), bitmap,
                                                           CTavixCaptureDoc::ENewImage::Image);
        if (pDoc == nullptr || pDoc->Views().empty())
            return nullptr;
        auto* pWindow = dynamic_cast<QMdiSubWindow*>(pDoc->Views().front()->GetParentFrame());
        const bool bCurrent =
            PumpEvents([&] { return Frame().MdiArea()->currentSubWindow() == pWindow; });
        return bCurrent ? pWindow : nullptr;
    }
    // Waits until the window manager has the main frame on the screen where Qt says it is.
    bool WaitFrameShown() {
        return PumpEvents([&] {
            auto* a = xcb_get_window_attributes_reply(
                m_peer, xcb_get_window_attributes(m_peer, xcb_window_t(Frame().winId())), nullptr);
            const bool bViewable = a != nullptr && a->map_state == XCB_MAP_STATE_VIEWABLE;
            free(a);
            return bViewable && Frame().isVisible();
        });
    }
    bool WaitIdle() {
        return PumpEvents([&] { return !m_pApp->CaptureShell()->Engine().IsBusy(); });
    }
    // _NET_MOVERESIZE_WINDOW from another program, as a pager sends it.
    void MoveByWindowManager(int x, int y, int cx, int cy) {
        static constexpr char kName[] = "_NET_MOVERESIZE_WINDOW";
        auto* pAtom = xcb_intern_atom_reply(
            m_peer, xcb_intern_atom(m_peer, 0, sizeof kName - 1, kName), nullptr);
        ASSERT_NE(pAtom, nullptr);
        xcb_client_message_event_t event{};
        event.response_type = XCB_CLIENT_MESSAGE;
        event.format = 32;
        event.window = xcb_window_t(Frame().winId());
        event.type = pAtom->atom;
        free(pAtom);
        // Gravity static, x, y, width and height given, from a pager.
        event.data.data32[0] = 10u | (0xFu << 8) | (2u << 12);
        event.data.data32[1] = std::uint32_t(x);
        event.data.data32[2] = std::uint32_t(y);
        event.data.data32[3] = std::uint32_t(cx);
        event.data.data32[4] = std::uint32_t(cy);
        const xcb_window_t root = xcb_setup_roots_iterator(xcb_get_setup(m_peer)).data->root;
        xcb_send_event(m_peer, 0, root,
                       XCB_EVENT_MASK_SUBSTRUCTURE_REDIRECT | XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY,
                       reinterpret_cast<const char*>(&event));
        xcb_flush(m_peer);
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
    const std::filesystem::path saved = Root() / "Output" / "Qorv00001.png";
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
    EXPECT_EQ(m_pApp->RecentFileList()->Count(), 0) << "the recent files are the user's";

    // The next capture takes the next number.
    ASSERT_TRUE(Run(ID_CAPTURE_REPEAT_LAST));
    EXPECT_TRUE(
        PumpEvents([&] { return std::filesystem::exists(Root() / "Output" / "Qorv00002.png"); }));
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
    ASSERT_TRUE(PumpEvents([&] { return !m_boxes.m_shown.empty(); }));
    EXPECT_TRUE(WaitIdle());
    ASSERT_EQ(m_boxes.m_shown.size(), 1u);
    EXPECT_EQ(m_boxes.m_shown[0].strText,
              FormatString1(IDS_NO_DIRECTORY, QString::fromStdString(missing.string())));
    EXPECT_FALSE(std::filesystem::exists(Root() / "Shots"));
    EXPECT_EQ(m_pApp->Settings().m_dwAutoSaveStartNO, 1u) << "no number used up";
    ASSERT_EQ(m_pApp->DocManager().GetOpenDocumentCount(), 1) << "the capture stays open";
    EXPECT_TRUE(m_pApp->DocManager().Documents().front()->IsModified());
}

TEST_F(CaptureInApp, CancelledCapturesLeaveTheWindowsAsTheyWere) {
    Start(opt::kShowAfterCapture | opt::kOpenImageWindow);
    testsupport::CXClient keys(EngineTestServer()->DisplayName());
    QMdiSubWindow* pFirst = OpenImage(30, 20);
    ASSERT_NE(pFirst, nullptr);
    QMdiSubWindow* pSecond = OpenImage(40, 10);
    ASSERT_NE(pSecond, nullptr);
    ASSERT_NE(pFirst, pSecond);
    // The frame's own activation (focus in) makes the MDI area activate a window again: let it
    // happen before choosing the one that must stay active.
    ASSERT_TRUE(WaitFrameShown());
    ASSERT_TRUE(PumpEvents([&] { return QApplication::activeWindow() == &Frame(); }));
    Frame().MdiArea()->setActiveSubWindow(pFirst);
    ASSERT_TRUE(PumpEvents([&] { return Frame().MdiArea()->currentSubWindow() == pFirst; }));

    auto cancelled = [&](const char* pszHow, const std::function<void()>& start) {
        SCOPED_TRACE(pszHow);
        start();
        ASSERT_TRUE(WaitPicking());
        keys.Tap(XK_Escape);
        ASSERT_TRUE(WaitIdle());
    };
    cancelled("Capture menu", [&] { ASSERT_TRUE(Run(ID_CAPTURE_RECTANGLE)); });
    EXPECT_TRUE(Frame().isVisible());
    EXPECT_EQ(Frame().MdiArea()->currentSubWindow(), pFirst);
    ASSERT_TRUE(WaitFrameShown());

    cancelled("hotkey", [&] { keys.Chord({XK_Control_L, XK_Alt_L, XK_r}); });
    EXPECT_TRUE(Frame().isVisible()) << "the window was shown before";
    EXPECT_EQ(Frame().MdiArea()->currentSubWindow(), pFirst);
    ASSERT_TRUE(WaitFrameShown());

    cancelled("tray menu",
              [&] { m_pApp->CaptureShell()->StartCapture(ID_CAPTURE_RECTANGLE, true); });
    EXPECT_TRUE(Frame().isVisible());
    EXPECT_EQ(Frame().MdiArea()->currentSubWindow(), pFirst);

    // Used from another program while the window is hidden: it stays hidden.
    Frame().hide();
    cancelled("hotkey, hidden", [&] { keys.Chord({XK_Control_L, XK_Alt_L, XK_r}); });
    EXPECT_FALSE(Frame().isVisible());
    EXPECT_TRUE(m_boxes.m_shown.empty());
    EXPECT_EQ(m_pApp->DocManager().GetOpenDocumentCount(), 2);
}

TEST_F(CaptureInApp, MainWindowKeepsItsPlaceAndSizeAcrossACapture) {
    Start(opt::kShowAfterCapture | opt::kOpenImageWindow);
    ASSERT_TRUE(WaitFrameShown());
    Frame().setGeometry(210, 160, 640, 480);
    ASSERT_TRUE(PumpEvents([&] { return Frame().geometry() == QRect(210, 160, 640, 480); }));
    const QRect rcBefore = Frame().geometry();
    ASSERT_TRUE(Run(ID_CAPTURE_DESKTOP));
    ASSERT_TRUE(PumpEvents([&] {
        return m_pApp->DocManager().GetOpenDocumentCount() == 1 &&
               !m_pApp->CaptureShell()->Engine().IsBusy();
    }));
    ASSERT_TRUE(WaitFrameShown());
    EXPECT_TRUE(PumpEvents([&] { return Frame().geometry() == rcBefore; }, 3000))
        << "moved from " << rcBefore.x() << "," << rcBefore.y() << " to " << Frame().x() << ","
        << Frame().y() << ", " << Frame().width() << "x" << Frame().height();
}

TEST_F(CaptureInApp, MainWindowMovedByTheWindowManagerStaysThereAcrossACapture) {
    Start(opt::kShowAfterCapture | opt::kOpenImageWindow);
    ASSERT_TRUE(WaitFrameShown());
    // As a pager or "wmctrl -e" moves it: the window manager moves the frame, not the program.
    MoveByWindowManager(500, 100, 1000, 600);
    ASSERT_TRUE(PumpEvents([&] { return Frame().geometry().topLeft() == QPoint(500, 100); }))
        << Frame().x() << "," << Frame().y();
    const QRect rcBefore = Frame().geometry();
    const auto captureAndWait = [&](int nDocuments) {
        ASSERT_TRUE(Run(ID_CAPTURE_DESKTOP));
        ASSERT_TRUE(PumpEvents([&] {
            return m_pApp->DocManager().GetOpenDocumentCount() == nDocuments &&
                   !m_pApp->CaptureShell()->Engine().IsBusy();
        }));
        ASSERT_TRUE(WaitFrameShown());
    };
    captureAndWait(1);
    EXPECT_TRUE(PumpEvents([&] { return Frame().geometry() == rcBefore; }, 3000))
        << "moved to " << Frame().x() << "," << Frame().y() << ", " << Frame().width() << "x"
        << Frame().height();
    // A modal dialog open over the window (the capture comes from a hotkey) goes and comes
    // back with it.
    QDialog dialog(&Frame());
    dialog.setWindowModality(Qt::ApplicationModal);
    dialog.resize(300, 200);
    dialog.show();
    ASSERT_TRUE(PumpEvents([&] { return dialog.isVisible(); }));
    captureAndWait(2);
    EXPECT_TRUE(PumpEvents([&] { return Frame().geometry() == rcBefore; }, 3000))
        << "moved to " << Frame().x() << "," << Frame().y() << ", " << Frame().width() << "x"
        << Frame().height();
}

TEST_F(CaptureInApp, MenuHotkeyTakesTheProgramsOwnOpenMenuAndOtherToolkitsMenus) {
    Start(opt::kShowAfterCapture | opt::kOpenImageWindow);
    testsupport::CXClient keys(EngineTestServer()->DisplayName());
    ASSERT_TRUE(WaitFrameShown());
    Frame().activateWindow();
    ASSERT_TRUE(PumpEvents([&] { return Frame().isActiveWindow(); }));
    // The program's own File menu, open as a click on the menu bar leaves it.
    QAction* pFile = Frame().menuBar()->actions().value(0);
    ASSERT_NE(pFile, nullptr);
    ASSERT_NE(pFile->menu(), nullptr);
    Frame().menuBar()->setActiveAction(pFile);
    QMenu* pMenu = pFile->menu();
    ASSERT_TRUE(PumpEvents([&] {
        auto* a = xcb_get_window_attributes_reply(
            m_peer, xcb_get_window_attributes(m_peer, xcb_window_t(pMenu->winId())), nullptr);
        const bool bViewable = a != nullptr && a->map_state == XCB_MAP_STATE_VIEWABLE;
        free(a);
        return bViewable;
    }));
    const QSize menuSize = pMenu->size();
    keys.Chord({XK_Control_L, XK_Shift_L, XK_m});
    ASSERT_TRUE(PumpEvents([&] {
        return m_pApp->DocManager().GetOpenDocumentCount() == 1 || !m_boxes.m_shown.empty();
    })) << "nothing happened";
    ASSERT_TRUE(m_boxes.m_shown.empty()) << m_boxes.m_shown[0].strText.toStdString();
    EXPECT_TRUE(WaitIdle());
    auto* pDoc = dynamic_cast<CTavixCaptureDoc*>(m_pApp->DocManager().Documents().front());
    ASSERT_NE(pDoc, nullptr);
    EXPECT_EQ(pDoc->GetImage()->Width(), menuSize.width());
    EXPECT_EQ(pDoc->GetImage()->Height(), menuSize.height());
    pMenu->close();

    // A drop-down menu of another toolkit: an override-redirect window typed as such.
    CTestWindow dropDown(m_peer, {.rc = {300, 200, 421, 371},
                                  .seed = 23,
                                  .bOverrideRedirect = true,
                                  .types = {"DROPDOWN_MENU"}});
    ASSERT_TRUE(dropDown.WaitMapped(false));
    keys.Chord({XK_Control_L, XK_Shift_L, XK_m});
    ASSERT_TRUE(PumpEvents([&] {
        return m_pApp->DocManager().GetOpenDocumentCount() == 2 || !m_boxes.m_shown.empty();
    }));
    ASSERT_TRUE(m_boxes.m_shown.empty()) << m_boxes.m_shown[0].strText.toStdString();
    EXPECT_TRUE(WaitIdle());
    auto* pMenuDoc = dynamic_cast<CTavixCaptureDoc*>(m_pApp->DocManager().Documents().back());
    ASSERT_NE(pMenuDoc, nullptr);
    EXPECT_EQ(pMenuDoc->GetImage()->Width(), 121);
    EXPECT_EQ(pMenuDoc->GetImage()->Height(), 171);
}
