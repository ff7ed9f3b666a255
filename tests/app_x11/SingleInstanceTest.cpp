// SPDX-License-Identifier: MIT
// One instance per user, with real quorvi-studio processes on the test's X server: a second start
// brings the first window forward and ends; a first instance killed outright blocks nothing.
#include "StudioProcess.h"
#include "X11Desktop.h"

#include "platform/AppSettings.h"
#include "support/TempXdgTest.h"
#include "support/TrayHost.h"
#include "support/Wait.h"

#include <chrono>
#include <cstdlib>

namespace {

using namespace std::chrono_literals;
using studiotest::CDesktop;
using studiotest::CStudio;
using testsupport::WaitUntil;

constexpr std::uint32_t kDefaultOptions = 0x0008167B;

class SingleInstanceTest : public testsupport::CTempXdgTest {
protected:
    void WriteOptions(std::uint32_t dwOptionsA) {
        platform::CAppSettings settings;
        settings.m_dwOptionsA = dwOptionsA;
        settings.m_strAutoSavePath = (Root() / "Output").string();
        ASSERT_TRUE(settings.Save(platform::HiveLocations::FromEnvironment()));
    }

    // Starts the first instance and waits until the window manager manages its window.
    xcb_window_t StartFirst(CStudio& first) {
        xcb_window_t window = XCB_NONE;
        EXPECT_TRUE(WaitUntil([&] {
            return (window = m_desktop.WindowOf(first.Pid())) != XCB_NONE;
        })) << "the first instance's window never appeared";
        return window;
    }

    CDesktop m_desktop;
};

} // namespace

TEST_F(SingleInstanceTest, SecondStartRestoresTheMinimisedFirstWindowAndEnds) {
    WriteOptions(kDefaultOptions & ~platform::options::kStartHidden);
    CStudio first;
    const xcb_window_t window = StartFirst(first);
    ASSERT_NE(window, XCB_NONE);
    ASSERT_TRUE(WaitUntil([&] { return m_desktop.WmState(window) == 1; }));
    m_desktop.Minimise(window);
    ASSERT_TRUE(WaitUntil([&] { return m_desktop.WmState(window) == 3; }));

    CStudio second;
    EXPECT_EQ(second.WaitForExit(), 0);
    EXPECT_TRUE(WaitUntil([&] { return m_desktop.WmState(window) == 1; })) << "not restored";
    EXPECT_TRUE(WaitUntil([&] { return m_desktop.ActiveWindow() == window; })) << "not in front";
    EXPECT_TRUE(first.IsRunning());
    // The second start opened no window of its own.
    EXPECT_EQ(m_desktop.WindowOf(second.Pid()), XCB_NONE);
}

TEST_F(SingleInstanceTest, SecondStartBringsAHiddenStartForwardRestored) {
    // Started hidden to a tray: hidden and minimised; a second start shows it restored.
    testsupport::CTrayHost tray(std::getenv("DISPLAY"));
    WriteOptions(kDefaultOptions);
    m_desktop.WatchRoot();
    CStudio first;
    ASSERT_TRUE(tray.WaitForDocked(1));
    // The window goes to the window manager and is taken back once it is on the screen (some
    // managers show a window mapped minimised normally): after that it must stay away.
    ASSERT_TRUE(m_desktop.WaitWithdrawn(first.Pid())) << "a hidden start kept its window";
    EXPECT_EQ(m_desktop.WindowOf(first.Pid()), XCB_NONE) << "a hidden start showed its window";

    CStudio second;
    EXPECT_EQ(second.WaitForExit(), 0);
    xcb_window_t window = XCB_NONE;
    ASSERT_TRUE(WaitUntil([&] { return (window = m_desktop.WindowOf(first.Pid())) != XCB_NONE; }));
    EXPECT_TRUE(WaitUntil([&] { return m_desktop.WmState(window) == 1; }));
    EXPECT_TRUE(WaitUntil([&] { return m_desktop.ActiveWindow() == window; }));
}

TEST_F(SingleInstanceTest, SecondStartShowsNoTrayIconOfItsOwn) {
    testsupport::CTrayHost tray(std::getenv("DISPLAY"));
    WriteOptions(kDefaultOptions & ~platform::options::kStartHidden);
    CStudio first;
    ASSERT_NE(StartFirst(first), XCB_NONE);
    ASSERT_TRUE(tray.WaitForDocked(1));

    CStudio second;
    EXPECT_EQ(second.WaitForExit(), 0);
    // Whatever the second start sent before it ended has reached the tray by the time a request
    // of the test's own (sent after the exit) comes back through the tray host's server.
    m_desktop.ActiveWindow();
    EXPECT_FALSE(tray.WaitForDocked(2, 1s)) << "the second start docked an icon on its way out";
    EXPECT_TRUE(first.IsRunning());
}

TEST_F(SingleInstanceTest, AKilledFirstInstanceDoesNotBlockTheNextStart) {
    WriteOptions(kDefaultOptions & ~platform::options::kStartHidden);
    {
        CStudio first;
        ASSERT_NE(StartFirst(first), XCB_NONE);
        first.KillOutright();
    }
    // The socket file of the killed one is still there; the next start is the first again.
    CStudio next;
    const xcb_window_t window = StartFirst(next);
    ASSERT_NE(window, XCB_NONE);
    EXPECT_TRUE(next.IsRunning());

    // And it answers a later start in its turn.
    m_desktop.Minimise(window);
    ASSERT_TRUE(WaitUntil([&] { return m_desktop.WmState(window) == 3; }));
    CStudio third;
    EXPECT_EQ(third.WaitForExit(), 0);
    EXPECT_TRUE(WaitUntil([&] { return m_desktop.WmState(window) == 1; }));
}
