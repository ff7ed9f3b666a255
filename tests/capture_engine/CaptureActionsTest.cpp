// SPDX-License-Identifier: MIT
// Capture actions on a real desktop: started by menu commands and by hotkeys typed through
// XTest, the immediate regions, refusals with their messages, Repeat Last and Default.
#include "EngineFixture.h"

#include "framework/CommandIds.h"
#include "framework/StringTable.h"
#include "hook/TavixHook.h"
#include "platform/CaptureAction.h"

#include <QElapsedTimer>
#include <QImage>
#include <QMenu>

#define XK_MISCELLANY
#define XK_LATIN1
#include <X11/keysymdef.h>

using capture::Point;
using capture::Rect;
using capturetest::CTestWindow;

TEST_F(CEngineTest, DesktopCommandTakesTheWholeRootWithTheMainWindowHidden) {
    CTestWindow window(m_peer, {.rc = {100, 80, 403, 281}, .seed = 1, .bOverrideRedirect = true});
    ASSERT_TRUE(window.WaitMapped(false));
    QElapsedTimer timer;
    timer.start();
    ASSERT_TRUE(m_pEngine->StartCommand(ID_CAPTURE_DESKTOP));
    EXPECT_FALSE(m_pEngine->StartCommand(ID_CAPTURE_DESKTOP)) << "one capture at a time";
    ASSERT_TRUE(WaitForOutcome(0));
    // "CaptureDelayTime" is 0, the screen still gets its 300 ms.
    EXPECT_GE(timer.elapsed(), CCaptureEngine::kSettleWaitMs);
    ASSERT_EQ(m_host.m_delivered.size(), 1u);
    const CImageBitmap& b = LastCapture();
    EXPECT_EQ(b.Width(), 1280);
    EXPECT_EQ(b.Height(), 1024);
    EXPECT_EQ(PatternMismatches(b, {100, 80, 403, 281}, {100, 80}, 1), 0);
    EXPECT_FALSE(m_host.m_mainVisibleAtDelivery[0]) << "the main window must not be in the capture";
    EXPECT_TRUE(PumpUntil([&] { return m_host.m_main.isVisible(); }))
        << "OptionsA 0x8 shows it again";
    EXPECT_FALSE(m_pEngine->IsBusy());
}

TEST_F(CEngineTest, ActiveWindowHotkeysTakeTheFrameOrTheClientArea) {
    CTestWindow window(m_peer, {.rc = {300, 200, 560, 380}, .seed = 2});
    ASSERT_TRUE(window.WaitMapped(true));
    Activate(window.Id());
    const Rect rcFrame = FrameOf(window.Id());
    const Rect rcClient = ClientRectOf(window.Id());
    ASSERT_EQ(rcClient.Width(), 260);
    ASSERT_GT(rcFrame.Width(), rcClient.Width()) << "openbox decorates the window";

    m_pClient->Chord({XK_Alt_L, XK_Print}); // entry 0: Alt+Print, active window
    ASSERT_TRUE(WaitForOutcome(0));
    const CImageBitmap& withFrame = LastCapture();
    EXPECT_EQ(withFrame.Width(), rcFrame.Width());
    EXPECT_EQ(withFrame.Height(), rcFrame.Height());
    const Point inside = rcClient.TopLeft() - rcFrame.TopLeft();
    EXPECT_EQ(PatternMismatches(withFrame, Rect::FromSize(inside.x, inside.y, 260, 180), inside, 2),
              0);

    m_pClient->Chord({XK_Control_L, XK_Shift_L, XK_Alt_L, XK_c}); // entry 1: client area
    ASSERT_TRUE(WaitForOutcome(1));
    const CImageBitmap& client = LastCapture();
    EXPECT_EQ(client.Width(), 260);
    EXPECT_EQ(client.Height(), 180);
    EXPECT_EQ(PatternMismatches(client, {0, 0, 260, 180}, {0, 0}, 2), 0);
    EXPECT_TRUE(m_boxes.m_shown.empty());
}

TEST_F(CEngineTest, ActiveWindowFromTheTrayMenuIsRefusedWithTheHotkeyText) {
    m_host.m_main.hide();
    ASSERT_TRUE(
        m_pEngine->StartCommand(ID_CAPTURE_ACTIVE_WINDOW, CCaptureEngine::EOrigin::TrayMenu));
    ASSERT_EQ(m_boxes.m_shown.size(), 1u);
    EXPECT_EQ(m_boxes.m_shown[0].strText,
              FormatString1(IDS_TRAY_MENU_MODE, QStringLiteral("Key0")));
    EXPECT_EQ(m_boxes.m_shown[0].icon, EMsgIcon::Information);
    EXPECT_TRUE(m_host.m_main.isVisible()) << "shown before the box";
    EXPECT_TRUE(m_host.m_delivered.empty());
    // The mark is gone: the next start from the menu works.
    ASSERT_TRUE(m_pEngine->StartCommand(ID_CAPTURE_DESKTOP));
    EXPECT_TRUE(WaitForOutcome(0));
}

TEST_F(CEngineTest, NoActiveWindowGivesStringOneHundredThirtyFive) {
    // Only our own main window is on screen: it never counts as the active window.
    m_host.m_main.activateWindow();
    ASSERT_TRUE(m_pEngine->StartCommand(ID_CAPTURE_CLIENT));
    EXPECT_FALSE(WaitForOutcome(0));
    ASSERT_EQ(m_boxes.m_shown.size(), 1u);
    EXPECT_EQ(m_boxes.m_shown[0].strText,
              FormatString1(IDS_NO_ACTIVE_WINDOW, QStringLiteral("Key1")));
    EXPECT_TRUE(m_host.m_main.isVisible());
    EXPECT_TRUE(m_pEngine->CanRepeatLast()) << "the action was started, so it can be repeated";
}

TEST_F(CEngineTest, MenuActionExplainsItselfUnlessStartedByItsHotkey) {
    ASSERT_TRUE(m_pEngine->StartCommand(ID_CAPTURE_MENU));
    ASSERT_EQ(m_boxes.m_shown.size(), 1u);
    EXPECT_EQ(m_boxes.m_shown[0].strText,
              FormatString1(IDS_MENU_CAPTURE_HELP, QStringLiteral("Key8")) +
                  LoadString(IDS_MENU_CAPTURE_NOTE));
    EXPECT_FALSE(m_pEngine->CanRepeatLast()) << "nothing was captured or started";

    m_pClient->Chord({XK_Control_L, XK_Shift_L, XK_m}); // entry 8, no menu open
    EXPECT_FALSE(WaitForOutcome(0));
    ASSERT_EQ(m_boxes.m_shown.size(), 2u);
    EXPECT_EQ(m_boxes.m_shown[1].strText, LoadString(IDS_NO_POPUP_MENU));

    CTestWindow menu(m_peer, {.rc = {400, 300, 520, 460},
                              .seed = 5,
                              .bOverrideRedirect = true,
                              .types = {"POPUP_MENU"}});
    ASSERT_TRUE(menu.WaitMapped(false));
    m_pClient->Chord({XK_Control_L, XK_Shift_L, XK_m});
    ASSERT_TRUE(WaitForOutcome(0))
        << m_boxes.m_shown.back().strText.toStdString() << " " << m_boxes.m_shown.size();
    EXPECT_EQ(LastCapture().Width(), 120);
    EXPECT_EQ(LastCapture().Height(), 160);
    EXPECT_EQ(PatternMismatches(LastCapture(), {0, 0, 120, 160}, {0, 0}, 5), 0);
}

TEST_F(CEngineTest, MenuHotkeyTakesAnOpenQtMenuThatHoldsTheKeyboard) {
    // The user works in the program whose menu is open: our main window is out of the way, and
    // stays so after the capture (a window shown or hidden in this process would move the
    // focus, which closes the menu of this process).
    m_host.m_settings.m_dwOptionsA &= ~platform::options::kShowAfterCapture;
    m_host.m_main.hide();
    ASSERT_TRUE(PumpUntil([&] {
        auto a = xcb_get_window_attributes_reply(
            m_peer, xcb_get_window_attributes(m_peer, xcb_window_t(m_host.m_main.winId())),
            nullptr);
        const bool bUnmapped = a && a->map_state == XCB_MAP_STATE_UNMAPPED;
        free(a);
        return bUnmapped;
    }));
    QMenu menu;
    menu.addAction(QStringLiteral("Open the image"));
    menu.addAction(QStringLiteral("Copy to clipboard"));
    menu.addSeparator();
    menu.addAction(QStringLiteral("Properties"));
    menu.popup(QPoint(420, 260));
    const xcb_window_t menuWindow = xcb_window_t(menu.winId());
    ASSERT_TRUE(PumpUntil([&] {
        auto a = xcb_get_window_attributes_reply(
            m_peer, xcb_get_window_attributes(m_peer, menuWindow), nullptr);
        const bool bViewable = a && a->map_state == XCB_MAP_STATE_VIEWABLE && a->override_redirect;
        free(a);
        return bViewable;
    }));
    const Rect rcMenu = ClientRectOf(menuWindow);
    ASSERT_GT(rcMenu.Width(), 20);
    ASSERT_GT(rcMenu.Height(), 20);
    // What Qt paints on the screen for the menu, pointer elsewhere so nothing is highlighted.
    const QImage painted = menu.grab().toImage().convertToFormat(QImage::Format_RGB32);
    ASSERT_EQ(painted.size(), QSize(rcMenu.Width(), rcMenu.Height()));

    // The menu holds the keyboard, as open menus do: the hotkey's press reaches the hook only
    // through raw events.
    m_pClient->Chord({XK_Control_L, XK_Shift_L, XK_m}); // entry 8
    ASSERT_TRUE(WaitForOutcome(0))
        << (m_boxes.m_shown.empty() ? std::string() : m_boxes.m_shown.back().strText.toStdString())
        << ", menu open: " << menu.isVisible();
    EXPECT_TRUE(m_boxes.m_shown.empty());
    const std::uint8_t grabStatus = m_pClient->GrabKeyboard();
    if (grabStatus == XCB_GRAB_STATUS_SUCCESS)
        m_pClient->UngrabKeyboard();
    EXPECT_EQ(grabStatus, XCB_GRAB_STATUS_ALREADY_GRABBED) << "the menu kept its grab";
    const CImageBitmap& b = LastCapture();
    ASSERT_EQ(b.Width(), rcMenu.Width());
    ASSERT_EQ(b.Height(), rcMenu.Height());
    int nBad = 0;
    for (int y = 0; y < b.Height(); ++y)
        for (int x = 0; x < b.Width(); ++x) {
            const QRgb want = painted.pixel(x, y);
            const RGBQuad got = PixelAt(b, x, y);
            if ((got.red != qRed(want) || got.green != qGreen(want) || got.blue != qBlue(want)) &&
                ++nBad <= 3)
                ADD_FAILURE() << "pixel " << x << "," << y;
        }
    EXPECT_EQ(nBad, 0);
    menu.close();
    EXPECT_TRUE(PumpUntil([&] {
        const std::uint8_t status = m_pClient->GrabKeyboard();
        if (status == XCB_GRAB_STATUS_SUCCESS)
            m_pClient->UngrabKeyboard();
        return status == XCB_GRAB_STATUS_SUCCESS;
    })) << "the closed menu let the keyboard go";
}

TEST_F(CEngineTest, RepeatLastWaitsForAnActionAndDefaultFollowsTheSetting) {
    EXPECT_FALSE(m_pEngine->CanRepeatLast());
    m_pClient->Chord({XK_Control_L, XK_Shift_L, XK_l}); // entry 11: Repeat Last, nothing yet
    m_pClient->Chord({XK_Control_L, XK_Alt_L, XK_d});   // entry 9: desktop
    ASSERT_TRUE(WaitForOutcome(0));
    EXPECT_TRUE(m_pEngine->CanRepeatLast());
    ASSERT_TRUE(m_pEngine->StartCommand(ID_CAPTURE_REPEAT_LAST));
    ASSERT_TRUE(WaitForOutcome(1));
    EXPECT_EQ(LastCapture().Width(), 1280);
    // Anything the early Repeat Last had set going would have been delivered by now: actions
    // run one at a time, in the order their hotkeys came.
    EXPECT_EQ(m_host.m_delivered.size(), 2u) << "Repeat Last before any capture does nothing";

    // Default: the icon-sized square is no default; the client area is.
    CTestWindow window(m_peer, {.rc = {200, 150, 330, 250}, .seed = 6});
    ASSERT_TRUE(window.WaitMapped(true));
    Activate(window.Id());
    m_host.m_settings.m_dwDefaultCaptureAction = platform::ActiveWindowClient;
    m_pClient->Tap(XK_Print); // entry 12: Default
    ASSERT_TRUE(WaitForOutcome(2));
    EXPECT_EQ(LastCapture().Width(), 130);
    EXPECT_EQ(PatternMismatches(LastCapture(), {0, 0, 130, 100}, {0, 0}, 6), 0);
    m_host.m_settings.m_dwDefaultCaptureAction = 11;
    EXPECT_TRUE(m_pEngine->StartCommand(ID_CAPTURE_DEFAULT));
    EXPECT_FALSE(m_pEngine->IsBusy()) << "a default outside the table does nothing";
}

TEST_F(CEngineTest, PointerIsPaintedIntoTheCaptureOnlyWhenAsked) {
    m_pClient->MoveTo(640, 500);
    m_pClient->Sync();
    ASSERT_TRUE(m_pEngine->StartCommand(ID_CAPTURE_DESKTOP));
    ASSERT_TRUE(WaitForOutcome(0));
    m_host.m_settings.m_dwOptionsA |= platform::options::kIncludePointer;
    ASSERT_TRUE(m_pEngine->StartCommand(ID_CAPTURE_DESKTOP));
    ASSERT_TRUE(WaitForOutcome(1));
    const CImageBitmap& plain = *m_host.m_delivered[0];
    const CImageBitmap& withPointer = *m_host.m_delivered[1];
    int nDiffering = 0;
    Rect rcChanged{1280, 1024, 0, 0};
    for (int y = 0; y < 1024; ++y)
        for (int x = 0; x < 1280; ++x)
            if (PixelAt(plain, x, y) != PixelAt(withPointer, x, y)) {
                ++nDiffering;
                rcChanged = {std::min(rcChanged.left, x), std::min(rcChanged.top, y),
                             std::max(rcChanged.right, x + 1), std::max(rcChanged.bottom, y + 1)};
            }
    EXPECT_GT(nDiffering, 10);
    // Only around the pointer: the cursor image is at most 64 pixels a side.
    EXPECT_TRUE(Rect::FromSize(640 - 64, 500 - 64, 128, 128).Intersect(rcChanged) == rcChanged)
        << rcChanged.left << "," << rcChanged.top << " " << rcChanged.Width() << "x"
        << rcChanged.Height();
}

TEST_F(CEngineTest, RegionCapturesLeaveThePointerOutEvenWhenAsked) {
    // The pointer is where the hotkey was pressed, in the middle of the region drawn afterwards:
    // a stray arrow there is never what the user wants.
    CTestWindow window(m_peer, {.rc = {500, 400, 800, 600}, .seed = 5, .bOverrideRedirect = true});
    ASSERT_TRUE(window.WaitMapped(false));
    m_host.m_settings.m_dwOptionsA |= platform::options::kIncludePointer;
    m_pClient->MoveTo(640, 500);
    m_pClient->Sync();
    ASSERT_TRUE(m_pEngine->StartCommand(ID_CAPTURE_RECTANGLE));
    ASSERT_TRUE(WaitPicking());
    ClickAt(600, 450);
    MoveAndWait(700, 550);
    m_pClient->Click(1);
    ASSERT_TRUE(WaitForOutcome(0));
    const CImageBitmap& b = LastCapture();
    ASSERT_EQ(b.Width(), 100);
    EXPECT_EQ(PatternMismatches(b, {0, 0, 100, 100}, {-100, -50}, 5), 0);
}

TEST_F(CEngineTest, HotkeyHeldByAnotherProgramIsReportedAndTheOthersWork) {
    m_pEngine.reset(); // frees every hotkey
    ASSERT_TRUE(
        m_pClient->GrabKey(XK_d, XCB_MOD_MASK_CONTROL | XCB_MOD_MASK_1)); // entry 9: Ctrl+Alt+D
    m_pEngine = std::make_unique<CCaptureEngine>(m_host);
    ASSERT_TRUE(m_pEngine->Initialize(EngineTestServer()->DisplayName().c_str()));
    QObject::connect(m_pEngine.get(), &CCaptureEngine::captured, m_pEngine.get(),
                     [this] { ++m_nOutcomes; });
    EXPECT_EQ(m_pEngine->HotkeyStatus(platform::Desktop), QRZ_HOTKEY_TAKEN);
    EXPECT_EQ(m_pEngine->HotkeyStatus(platform::Default), QRZ_HOTKEY_ACTIVE);
    ASSERT_NE(m_pEngine->HotkeyTable(), nullptr);
    EXPECT_EQ(m_pEngine->HotkeyTable()[platform::Desktop], 0xA044) << "the table keeps the word";
    m_pClient->Tap(XK_Print); // Default, the desktop by default
    ASSERT_TRUE(WaitForOutcome(0));
    EXPECT_EQ(LastCapture().Width(), 1280);
    m_pClient->UngrabKey(XK_d, XCB_MOD_MASK_CONTROL | XCB_MOD_MASK_1);
}
