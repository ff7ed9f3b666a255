// SPDX-License-Identifier: MIT
// The notification-area icon on a real X server: docking in a tray host, the menu opened with a
// right click, a double click restoring the window, and the program without a tray.
#include "AppFixture.h"

#include "app/CaptureShell.h"
#include "app/SystemTray.h"
#include "framework/CommandIds.h"
#include "framework/ui/CommandDispatcher.h"
#include "framework/ui/IconMenu.h"
#include "platform/AppSettings.h"
#include "support/QtWait.h"
#include "support/TrayHost.h"
#include "support/XClient.h"

#include <QAction>
#include <QApplication>
#include <QMenu>
#include <QTest>

#include <X11/keysym.h>

#include <cstdlib>

namespace apptest {
namespace {

std::string Display() {
    const char* psz = std::getenv("DISPLAY");
    return psz != nullptr ? psz : "";
}

// The menu as a person reads it: each item's text, "-" for separators.
QStringList MenuTexts(const QMenu& menu) {
    QStringList texts;
    for (const QAction* pAction : menu.actions())
        texts << (pAction->isSeparator() ? QStringLiteral("-") : pAction->text());
    return texts;
}

constexpr std::uint32_t kDefaultOptions = 0x0008167B;

class TrayTest : public AppTest {
protected:
    void StartWithTray(std::uint32_t dwOptionsA = kDefaultOptions &
                                                  ~platform::options::kStartHidden) {
        m_pHost = std::make_unique<testsupport::CTrayHost>(Display());
        Start(dwOptionsA);
        ASSERT_NE(Frame().Tray().SystemTray(), nullptr);
        ASSERT_TRUE(m_pHost->WaitForDocked(1));
        ASSERT_TRUE(WaitUntil([this] { return Frame().Tray().CanHideToTray(); }));
    }

    // Where the icon is now, once it sits in the tray: Qt may dock it again under a new window
    // shortly after the first time, into another place.
    std::pair<int, int> IconCentre() {
        std::optional<std::pair<int, int>> centre;
        EXPECT_TRUE(WaitUntil([&] {
            for (QWidget* pWidget : QApplication::topLevelWidgets()) {
                if (pWidget->isVisible() &&
                    qstrcmp(pWidget->metaObject()->className(), "QSystemTrayIconSys") == 0)
                    centre = m_pHost->CentreOf(xcb_window_t(pWidget->winId()));
            }
            return centre.has_value();
        })) << "the icon is not in the tray";
        return centre.value_or(m_pHost->IconCentre(0));
    }

    void TearDown() override {
        AppTest::TearDown();
        m_pHost.reset();
    }

    // Clicks the docked icon with a real pointer, through the X server.
    void ClickIcon(int nButton, int nClicks = 1) {
        testsupport::CXClient client(Display());
        const auto [x, y] = IconCentre();
        client.MoveTo(x, y);
        for (int i = 0; i < nClicks; ++i)
            client.Click(nButton);
        client.Sync();
    }

    QMenu* OpenTrayMenu() {
        QMenu* pMenu = Frame().Tray().SystemTray()->Menu();
        // Pressed, held until the menu shows, released: as a person clicks.
        testsupport::CXClient client(Display());
        const auto [x, y] = IconCentre();
        client.MoveTo(x - 40, y + 200);
        client.MoveTo(x, y, 20);
        client.ButtonDown(3);
        client.Sync();
        const bool bShown = WaitUntil([pMenu] { return pMenu->isVisible(); });
        client.ButtonUp(3);
        client.Sync();
        ProcessEvents();
        return bShown && pMenu->isVisible() ? pMenu : nullptr;
    }

    void CloseTrayMenu(QMenu* pMenu) {
        testsupport::CXClient client(Display());
        client.Tap(XK_Escape);
        client.Sync();
        EXPECT_TRUE(WaitUntil([pMenu] { return !pMenu->isVisible(); }));
        // Hidden for Qt is not yet let go for the server: a click before the menu's grab ends
        // goes to the closing menu. Another program can take the pointer once it has ended.
        EXPECT_TRUE(WaitUntil([&client] {
            const bool bFree = client.GrabPointer() == XCB_GRAB_STATUS_SUCCESS;
            if (bFree)
                client.UngrabPointer();
            client.Sync();
            return bFree;
        }));
    }

    std::unique_ptr<testsupport::CTrayHost> m_pHost;
};

} // namespace

TEST_F(TrayTest, RightClickShowsMenu155InOrderWithHotkeysAndTheBannerStrip) {
    StartWithTray();
    EXPECT_EQ(Frame().Tray().SystemTray()->Icon().toolTip(), QStringLiteral("Quorvi Studio"));
    QMenu* pMenu = OpenTrayMenu();
    ASSERT_NE(pMenu, nullptr);
    const QStringList expected = {
        QStringLiteral("quorvi.example.org"),
        QStringLiteral("&Options..."),
        QStringLiteral("-"),
        QStringLiteral("Ac&tive Window\tAlt+Print Screen"),
        QStringLiteral("Active Window C&lient\tCtrl+Shift+Alt+C"),
        QStringLiteral("&Control,Button,Child Window"),
        QStringLiteral("Sin&gle Window"),
        QStringLiteral("&Rectangle\tCtrl+Alt+R"),
        QStringLiteral("&Square\tCtrl+Alt+S"),
        QStringLiteral("&Circle"),
        QStringLiteral("&Ellipse\tCtrl+Alt+E"),
        QStringLiteral("&Menu\tCtrl+Shift+M"),
        QStringLiteral("&Polygon\tCtrl+Alt+P"),
        QStringLiteral("&Desktop\tCtrl+Alt+D"),
        QStringLiteral("-"),
        QStringLiteral("&Repeat Last\tCtrl+Shift+L"),
        QStringLiteral("De&fault Action\tPrint Screen"),
        QStringLiteral("-"),
        QStringLiteral("&Show Main Window"),
        QStringLiteral("&About Quorvi Studio..."),
        QStringLiteral("&Home Page"),
        QStringLiteral("-"),
        QStringLiteral("E&xit Quorvi Studio"),
    };
    EXPECT_EQ(MenuTexts(*pMenu), expected);
    // The default item is the banner at position 0, drawn as the strip down the left edge.
    QAction* pDefault = pMenu->defaultAction();
    ASSERT_NE(pDefault, nullptr);
    EXPECT_EQ(pDefault, pMenu->actions().front());
    EXPECT_EQ(CCommandDispatcher::ActionId(pDefault), unsigned(ID_TRAY_BANNER));
    auto* pIconMenu = qobject_cast<CIconMenu*>(pMenu);
    ASSERT_NE(pIconMenu, nullptr);
    EXPECT_FALSE(pDefault->isVisible());
    const QRect rcBanner = pIconMenu->BannerRect();
    EXPECT_EQ(rcBanner.width(), CIconMenu::kBannerWidth);
    EXPECT_EQ(rcBanner.height(), pMenu->height() - 2 * rcBanner.top());
    // While it is open the next command counts as one from the tray menu.
    EXPECT_TRUE(Frame().Tray().IsFromTrayMenu());
    CloseTrayMenu(pMenu);
    ProcessEvents();
    EXPECT_FALSE(Frame().Tray().IsFromTrayMenu());

    // A hotkey changed while the program runs shows the next time the menu opens. With the
    // capture engine running the captions follow the hook library's table, as the options do.
    auto hotkeys = m_pApp->Settings().Hotkeys();
    hotkeys[0] = 0x8041; // Ctrl+A
    hotkeys[12] = 0;
    m_pApp->Settings().Hotkeys() = hotkeys;
    if (CCaptureShell* pShell = m_pApp->CaptureShell())
        pShell->Engine().SetHotkeyTable(hotkeys.data());
    emit pMenu->aboutToShow();
    const QStringList texts = MenuTexts(*pMenu);
    EXPECT_EQ(texts.value(3), QStringLiteral("Ac&tive Window\tCtrl+A"));
    EXPECT_EQ(texts.value(16), QStringLiteral("De&fault Action"));
}

// Opened, closed with Escape and opened again at once: the second press comes within the
// double-click time of the first, so it arrives as a double click, which the icon must treat
// as a right click all the same.
TEST_F(TrayTest, MenuClosedWithEscapeOpensAgainOnTheNextClick) {
    StartWithTray();
    // Both with the main window showing and with it hidden in the tray: a popup that kept a
    // grab, or a menu that thinks it is still open, would swallow the next click.
    for (const bool bHidden : {false, true}) {
        if (bHidden) {
            Frame().Close(CMainFrame::ECloseReason::TitleBar);
            ProcessEvents();
            ASSERT_FALSE(Frame().isVisible());
        }
        for (int nRound = 0; nRound < 3; ++nRound) {
            QMenu* pMenu = OpenTrayMenu();
            ASSERT_NE(pMenu, nullptr)
                << "opening " << nRound + 1 << (bHidden ? ", window hidden" : ", window shown");
            EXPECT_TRUE(Frame().Tray().IsFromTrayMenu());
            CloseTrayMenu(pMenu);
            ASSERT_FALSE(pMenu->isVisible());
            ProcessEvents();
            EXPECT_FALSE(Frame().Tray().IsFromTrayMenu());
        }
    }
}

TEST_F(TrayTest, ShowMainWindowFromTheMenuEndsTheTrayMark) {
    StartWithTray();
    Frame().Close(CMainFrame::ECloseReason::TitleBar);
    ProcessEvents();
    ASSERT_FALSE(Frame().isVisible());
    QMenu* pMenu = OpenTrayMenu();
    ASSERT_NE(pMenu, nullptr);
    QAction* pShow = nullptr;
    for (QAction* pAction : pMenu->actions())
        if (CCommandDispatcher::ActionId(pAction) == ID_SHOW_MAIN_WINDOW)
            pShow = pAction;
    ASSERT_NE(pShow, nullptr);
    ASSERT_TRUE(pShow->isEnabled());
    // Chosen while the menu is open.
    pShow->trigger();
    pMenu->close();
    EXPECT_TRUE(WaitUntil([this] { return Frame().isVisible() && !Frame().isMinimized(); }));
    ProcessEvents();
    EXPECT_FALSE(Frame().Tray().IsFromTrayMenu());
}

TEST_F(TrayTest, CloseHidesAndADoubleClickRestoresInFront) {
    StartWithTray();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&Frame()));
    Frame().Close(CMainFrame::ECloseReason::TitleBar);
    ProcessEvents();
    EXPECT_FALSE(Frame().isVisible());
    ClickIcon(1, 2);
    EXPECT_TRUE(WaitUntil([this] { return Frame().isVisible() && !Frame().isMinimized(); }));
    EXPECT_TRUE(QTest::qWaitForWindowActive(&Frame()));
}

TEST_F(TrayTest, MinimizeHidesOnlyWithItsOption) {
    StartWithTray();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&Frame()));
    Frame().showMinimized();
    EXPECT_TRUE(WaitUntil([this] { return !Frame().isVisible(); }, 8000));
    EXPECT_TRUE(Frame().Tray().IsMinimisedOrHiddenMinimised());
    Frame().Tray().SystemTray()->OnDoubleClick();
    ASSERT_TRUE(WaitUntil([this] { return Frame().isVisible() && !Frame().isMinimized(); }));

    m_pApp->Settings().m_dwOptionsA &= ~platform::options::kMinimizeToTray;
    Frame().showMinimized();
    ASSERT_TRUE(WaitUntil([this] { return Frame().isMinimized(); }));
    // The frame answers the state change with work it posts to itself: a marker posted now
    // arrives after it.
    ASSERT_TRUE(testsupport::DrainPostedEvents());
    EXPECT_TRUE(Frame().isVisible());
}

TEST_F(TrayTest, HiddenStartShowsOnlyTheIcon) {
    StartWithTray(kDefaultOptions);
    EXPECT_TRUE(WaitUntil([this] { return !Frame().isVisible(); }));
    // A docking the toolkit redoes (a new icon window, the old one destroyed) shows two windows
    // for a moment; one icon is what stays.
    EXPECT_TRUE(WaitUntil([this] { return m_pHost->Docked().size() == 1u; }));
    EXPECT_TRUE(Frame().Tray().IsMinimisedOrHiddenMinimised());
    Frame().Tray().SystemTray()->OnDoubleClick();
    EXPECT_TRUE(WaitUntil([this] { return Frame().isVisible() && !Frame().isMinimized(); }));
}

TEST_F(TrayTest, WithoutATrayTheWindowIsMinimisedInsteadOfHidden) {
    // No tray host: the program must stay reachable from the task bar.
    Start(kDefaultOptions);
    ProcessEvents();
    ASSERT_NE(Frame().Tray().SystemTray(), nullptr);
    EXPECT_FALSE(Frame().Tray().CanHideToTray());
    EXPECT_TRUE(Frame().isVisible());
    EXPECT_TRUE(WaitUntil([this] { return Frame().isMinimized(); }, 2000));

    Frame().showNormal();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&Frame()));
    Frame().Close(CMainFrame::ECloseReason::TitleBar);
    EXPECT_TRUE(WaitUntil([this] { return Frame().isMinimized(); }));
    ProcessEvents();
    EXPECT_TRUE(Frame().isVisible());

    // A tray that appears later is used from then on.
    m_pHost = std::make_unique<testsupport::CTrayHost>(Display());
    ASSERT_TRUE(WaitUntil([this] { return !m_pHost->Docked().empty(); }, 10000));
    ASSERT_TRUE(WaitUntil([this] { return Frame().Tray().CanHideToTray(); }));
    Frame().showNormal();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&Frame()));
    Frame().Close(CMainFrame::ECloseReason::TitleBar);
    ProcessEvents();
    EXPECT_FALSE(Frame().isVisible());
}

} // namespace apptest
