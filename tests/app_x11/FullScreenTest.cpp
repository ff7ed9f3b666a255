// SPDX-License-Identifier: MIT
// Full screen on a real window manager: the window manager is told (_NET_WM_STATE_FULLSCREEN),
// the bars go, the tab bar and the "Full Screen" bar float, and Escape brings back the window's
// place, its bars and the image window's state.
#include "AppFixture.h"

#include "X11Desktop.h"
#include "app/FullScreenMode.h"
#include "app/MDIClientWnd.h"
#include "framework/CommandIds.h"
#include "framework/ui/CommandDispatcher.h"
#include "platform/WorkspaceSettings.h"
#include "support/XClient.h"
#include "views/ViewManager.h"

#include <QAction>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QStatusBar>
#include <QTest>
#include <QToolBar>

#include <X11/keysym.h>

#include <algorithm>
#include <cstdlib>

using namespace apptest;

namespace {

constexpr std::uint32_t kShownOptions = 0x0008167B & ~0x2u;

class FullScreenTest : public AppTest {
protected:
    bool IsFullScreenForTheWindowManager() const {
        const studiotest::CDesktop desktop;
        const auto states = desktop.Property(xcb_window_t(Frame().winId()), "_NET_WM_STATE");
        const auto fullScreen = desktop.Atom("_NET_WM_STATE_FULLSCREEN");
        return std::find(states.begin(), states.end(), fullScreen) != states.end();
    }
};

} // namespace

TEST_F(FullScreenTest, FullScreenHidesTheBarsAndEscapeRestoresEverything) {
    ASSERT_TRUE(platform::CWorkspaceSettings::SaveChildWinState(
        false, platform::HiveLocations::FromEnvironment()));
    Start(kShownOptions);
    ASSERT_TRUE(QTest::qWaitForWindowActive(&Frame()));
    ASSERT_NE(Open(WritePng(40, 30, QStringLiteral("a.png"))), nullptr);
    ASSERT_NE(Open(WritePng(40, 30, QStringLiteral("b.png"))), nullptr);
    CViewManager& tabs = Frame().Client().TabBar();
    ASSERT_TRUE(WaitUntil([&] { return tabs.isVisible(); }));
    QMdiSubWindow* pChild = Frame().MdiArea()->currentSubWindow();
    ASSERT_FALSE(pChild->isMaximized());
    const QRect rcFrame = Frame().geometry();
    Frame().statusBar()->hide(); // a bar the user hid stays hidden afterwards

    EXPECT_TRUE(Frame().Dispatcher().Execute(ID_VIEW_FULL_SCREEN));
    ASSERT_TRUE(WaitUntil([&] { return IsFullScreenForTheWindowManager(); }));
    CFullScreenMode& mode = Frame().Client().FullScreen();
    EXPECT_TRUE(mode.IsOn());
    EXPECT_FALSE(Frame().ToolBar()->isVisible());
    EXPECT_TRUE(pChild->isMaximized());
    ASSERT_NE(mode.FullScreenBarWindow(), nullptr);
    EXPECT_EQ(mode.FullScreenBarWindow()->windowTitle(), QStringLiteral("Full Screen"));
    const auto* pBar = mode.FullScreenBarWindow()->findChild<QToolBar*>();
    ASSERT_NE(pBar, nullptr);
    ASSERT_EQ(pBar->actions().size(), 1);
    EXPECT_EQ(CCommandDispatcher::ActionId(pBar->actions().front()), ID_VIEW_FULL_SCREEN);
    ASSERT_NE(mode.TabBarWindow(), nullptr);
    EXPECT_TRUE(WaitUntil([&] { return mode.TabBarWindow()->isVisible(); }));
    EXPECT_EQ(tabs.window(), mode.TabBarWindow());
    // The tabs still switch windows there.
    EXPECT_TRUE(Frame().Dispatcher().Execute(ID_WINDOW_NEXT));
    EXPECT_NE(Frame().MdiArea()->currentSubWindow(), pChild);
    EXPECT_TRUE(Frame().Dispatcher().Execute(ID_WINDOW_PREVIOUS));

    // Escape, pressed as a person would.
    ASSERT_TRUE(WaitUntil([&] { return Frame().isActiveWindow(); }));
    {
        testsupport::CXClient client(std::getenv("DISPLAY"));
        client.Tap(XK_Escape);
        client.Sync();
    }
    ASSERT_TRUE(WaitUntil([&] { return !mode.IsOn() && !IsFullScreenForTheWindowManager(); }));
    EXPECT_TRUE(WaitUntil([&] { return Frame().geometry() == rcFrame; }))
        << Frame().geometry().x() << "," << Frame().geometry().y() << " "
        << Frame().geometry().width() << "x" << Frame().geometry().height();
    EXPECT_TRUE(Frame().ToolBar()->isVisible());
    EXPECT_FALSE(Frame().statusBar()->isVisible());
    EXPECT_EQ(tabs.window(), &Frame());
    EXPECT_TRUE(tabs.isVisible());
    EXPECT_EQ(mode.FullScreenBarWindow(), nullptr);
    EXPECT_FALSE(pChild->isMaximized());
    // Escape outside full screen does nothing of the sort.
    {
        testsupport::CXClient client(std::getenv("DISPLAY"));
        client.Tap(XK_Escape);
        client.Sync();
    }
    ProcessEvents();
    EXPECT_FALSE(mode.IsOn());
}
