// SPDX-License-Identifier: MIT
// Window queries against real windows under Xvfb and openbox: active window with and without
// its frame, maximised windows, the window under the pointer, popup menus, monitors, and the
// pickers driven over the real window stack.
#include "X11TestWindows.h"
#include "capture/RegionMask.h"
#include "capture/RegionTracker.h"
#include "capture/x11/DesktopQueries.h"
#include "capture/x11/ScreenGrabber.h"
#include "image/MemoryBitmap.h"
#include "support/XServer.h"

#include <gtest/gtest.h>

#include <memory>

using capture::Point;
using capture::Rect;
using capturetest::CTestWindow;
using x11::XcbReply;

namespace {

class X11Windows : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        s_server = std::make_unique<testsupport::CXServer>();
        s_peer = xcb_connect(s_server->DisplayName().c_str(), nullptr);
    }
    static void TearDownTestSuite() {
        xcb_disconnect(s_peer);
        s_peer = nullptr;
        s_server.reset();
    }

    void SetUp() override {
        REQUIRE_X_SERVER_PROGRAMS();
        m_conn = CX11Connection::Open(s_server->DisplayName().c_str());
        ASSERT_TRUE(m_conn);
        m_peer = s_peer;
        ASSERT_FALSE(xcb_connection_has_error(m_peer));
        m_root = xcb_setup_roots_iterator(xcb_get_setup(m_peer)).data->root;
    }
    void TearDown() override {
        // The next test starts on a desktop the window manager has finished clearing.
        if (m_peer && !xcb_connection_has_error(m_peer)) {
            EXPECT_TRUE(capturetest::WaitWindowsGone(m_peer))
                << "windows of the test stay: " << capturetest::DescribeDesktop(m_peer);
        }
    }

    // The window manager's frame around a client: the root's child holding it.
    Rect FrameOf(xcb_window_t client) const {
        CX11Windows windows(*m_conn);
        const auto top = windows.TopLevelOf(client);
        EXPECT_TRUE(top);
        EXPECT_NE(*top, client); // really framed
        return *m_conn->WindowRect(*top);
    }
    void WarpPointer(Point p) const {
        xcb_warp_pointer(m_peer, XCB_NONE, m_root, 0, 0, 0, 0, std::int16_t(p.x),
                         std::int16_t(p.y));
        xcb_flush(m_peer);
    }

    static std::unique_ptr<testsupport::CXServer> s_server;
    // "Another program" owning the test windows: one connection for all the tests, so that no
    // test's window takes the id of an earlier test's window.
    static xcb_connection_t* s_peer;
    std::unique_ptr<CX11Connection> m_conn;
    xcb_connection_t* m_peer = nullptr;
    xcb_window_t m_root = XCB_NONE;
};
std::unique_ptr<testsupport::CXServer> X11Windows::s_server;
xcb_connection_t* X11Windows::s_peer = nullptr;

} // namespace

TEST_F(X11Windows, ActiveWindowWithAndWithoutItsFrame) {
    CTestWindow window(m_peer, {.rc = {0, 0, 320, 200}, .seed = 11});
    ASSERT_TRUE(window.WaitMapped(true));
    CX11DesktopQueries desk(*m_conn);
    ASSERT_TRUE(
        testsupport::WaitUntil([&] { return desk.Windows().ActiveWindow() == window.Id(); }));

    const Rect client = *desk.ActiveWindowRect(true);
    EXPECT_EQ(client.Width(), 320);
    EXPECT_EQ(client.Height(), 200);
    EXPECT_EQ(client, *m_conn->InsideRect(window.Id()));
    const Rect frame = *desk.ActiveWindowRect(false);
    EXPECT_EQ(frame, FrameOf(window.Id()));
    const auto extents = desk.Windows().FrameExtentsOf(window.Id());
    ASSERT_TRUE(extents);
    EXPECT_GT(extents->top, 0); // openbox draws a title bar
    EXPECT_EQ(frame, (Rect{client.left - extents->left, client.top - extents->top,
                           client.right + extents->right, client.bottom + extents->bottom}));

    // The client area grabbed holds exactly the window's pixels.
    CScreenGrabber grabber(*m_conn);
    CMemoryBitmap b;
    ASSERT_TRUE(grabber.Grab(client, b));
    for (int y = 0; y < 200; ++y)
        for (int x = 0; x < 320; ++x)
            ASSERT_EQ(b.Row<RGBQuad>(y)[x], capturetest::PatternPixel(x, y, 11)) << x << "," << y;

    // Our own windows never count as the active window.
    desk.SetExcludedWindows({window.Id()});
    EXPECT_FALSE(desk.ActiveWindowRect(false));
    EXPECT_FALSE(desk.ActiveWindowRect(true));
}

TEST_F(X11Windows, FocusParkedByTheWindowManagerIsNoActiveWindow) {
    // With no window to focus, openbox holds the focus on a 1x1 unmanaged window off screen.
    CX11DesktopQueries desk(*m_conn);
    xcb_connection_t* c = m_conn->Get();
    ASSERT_TRUE(testsupport::WaitUntil([&] {
        XcbReply<xcb_get_input_focus_reply_t> focus(
            xcb_get_input_focus_reply(c, xcb_get_input_focus(c), nullptr));
        return focus && focus->focus != XCB_NONE && focus->focus != m_root &&
               focus->focus != XCB_INPUT_FOCUS_POINTER_ROOT;
    }));
    EXPECT_FALSE(desk.ActiveWindowRect(false));
    EXPECT_FALSE(desk.ActiveWindowRect(true));
}

TEST_F(X11Windows, MaximisedWindowFillsItsMonitorWithoutSizingBorder) {
    CTestWindow window(m_peer, {.rc = {0, 0, 300, 200}, .seed = 12});
    ASSERT_TRUE(window.WaitMapped(true));
    CX11Windows windows(*m_conn);
    EXPECT_FALSE(windows.IsMaximized(window.Id()));
    capturetest::RequestMaximize(m_peer, window.Id());
    // The window manager resizes the client and moves the frame in separate steps: wait for
    // the whole of it.
    const auto monitors = windows.MonitorRects();
    ASSERT_EQ(monitors.size(), 1u);
    EXPECT_TRUE(testsupport::WaitUntil([&] {
        const auto client = m_conn->InsideRect(window.Id());
        return windows.IsMaximized(window.Id()) && client && client->Width() == 1280 &&
               windows.FrameRect(window.Id()) == monitors[0];
    }));
    EXPECT_EQ(*windows.FrameRect(window.Id()), monitors[0]);
    EXPECT_EQ(monitors[0], m_conn->RootRect());
}

TEST_F(X11Windows, WindowsUnderThePointerAndAtPoints) {
    CTestWindow window(m_peer, {.rc = {0, 0, 400, 300}, .seed = 13});
    ASSERT_TRUE(window.WaitMapped(true));
    // Child windows inside the client: a "control" and a control inside that.
    CTestWindow control(m_peer, {.rc = {50, 60, 250, 160}, .seed = 14, .parent = window.Id()});
    CTestWindow inner(m_peer, {.rc = {10, 10, 40, 30}, .seed = 15, .parent = control.Id()});
    ASSERT_TRUE(control.WaitMapped(false) && inner.WaitMapped(false));
    // The window manager may still be placing the frame it has just put around the window: the
    // geometry counts once two readings in a row agree.
    Rect client, frame;
    ASSERT_TRUE(testsupport::WaitUntil([&] {
        const Rect c = *m_conn->InsideRect(window.Id()), f = FrameOf(window.Id());
        const bool bSettled = c == client && f == frame && f.top < c.top;
        client = c;
        frame = f;
        return bSettled;
    }));
    const Rect controlRc = Rect::FromSize(client.left + 50, client.top + 60, 200, 100);
    const Rect innerRc = Rect::FromSize(controlRc.left + 10, controlRc.top + 10, 30, 20);

    CX11DesktopQueries desk(*m_conn);
    WarpPointer(controlRc.TopLeft() + Point{100, 50});
    std::optional<CX11Windows::PointerWindows> under;
    ASSERT_TRUE(testsupport::WaitUntil([&] {
        under = desk.Windows().WindowUnderPointer();
        return under && under->ptPointer == controlRc.TopLeft() + Point{100, 50};
    }));
    EXPECT_EQ(under->deepest, control.Id());
    EXPECT_EQ(*m_conn->WindowRect(under->topLevel), frame);
    WarpPointer(innerRc.TopLeft() + Point{1, 1});
    ASSERT_TRUE(testsupport::WaitUntil([&] {
        under = desk.Windows().WindowUnderPointer();
        return under && under->deepest == inner.Id();
    }));

    ASSERT_TRUE(desk.Refresh());
    EXPECT_EQ(desk.ControlRectAt(controlRc.TopLeft() + Point{150, 80}), controlRc);
    EXPECT_EQ(desk.ControlRectAt(innerRc.TopLeft() + Point{29, 19}), innerRc);
    EXPECT_EQ(desk.ControlRectAt(client.TopLeft() + Point{5, 5}), client); // the client area itself
    EXPECT_FALSE(desk.ControlRectAt({client.left + 5, frame.top + 2}));    // title bar: no control
    EXPECT_FALSE(desk.ControlRectAt({1279, 1023}));                        // bare desktop
    EXPECT_EQ(desk.WindowRectAt({client.left + 5, frame.top + 2}), frame);
    EXPECT_EQ(desk.WindowRectAt(innerRc.TopLeft()), frame);
    EXPECT_FALSE(desk.WindowRectAt({1279, 1023}));

    // A full-screen overlay of ours is looked through.
    CTestWindow overlay(m_peer, {.rc = {0, 0, 1280, 1024}, .seed = 16, .bOverrideRedirect = true});
    ASSERT_TRUE(overlay.WaitMapped(false));
    ASSERT_TRUE(desk.Refresh());
    EXPECT_EQ(desk.WindowRectAt(innerRc.TopLeft()), (Rect{0, 0, 1280, 1024}));
    desk.SetExcludedWindows({overlay.Id()});
    ASSERT_TRUE(desk.Refresh());
    EXPECT_EQ(desk.WindowRectAt(innerRc.TopLeft()), frame);
    EXPECT_EQ(desk.ControlRectAt(innerRc.TopLeft()), innerRc);
}

TEST_F(X11Windows, PopupMenuFinderPrefersMenuTypesAndSkipsHelpers) {
    CX11DesktopQueries desk(*m_conn);
    EXPECT_FALSE(desk.PopupMenuRect());
    CTestWindow typed(
        m_peer, {.rc = {50, 600, 250, 700}, .bOverrideRedirect = true, .types = {"POPUP_MENU"}});
    CTestWindow untyped(m_peer, {.rc = {600, 100, 700, 300}, .bOverrideRedirect = true});
    CTestWindow tooltip(
        m_peer, {.rc = {610, 110, 700, 130}, .bOverrideRedirect = true, .types = {"TOOLTIP"}});
    CTestWindow helper(m_peer, {.rc = {0, 0, 1, 1}, .bOverrideRedirect = true});
    CTestWindow managed(m_peer, {.rc = {0, 0, 200, 100}}); // an ordinary window is no menu
    for (auto* w : {&typed, &untyped, &tooltip, &helper})
        ASSERT_TRUE(w->WaitMapped(false));
    ASSERT_TRUE(managed.WaitMapped(true));
    EXPECT_EQ(desk.PopupMenuRect(), (Rect{50, 600, 250, 700})); // typed, though lower
    typed.Unmap();
    ASSERT_TRUE(testsupport::WaitUntil([&] {
        return desk.PopupMenuRect() == Rect{600, 100, 700, 300};
    }));
    // An untyped override-redirect window is taken only when nothing typed is there.
    desk.SetExcludedWindows({untyped.Id()});
    EXPECT_FALSE(desk.PopupMenuRect());
    desk.SetExcludedWindows({});
    CTestWindow dropdown(
        m_peer,
        {.rc = {300, 300, 400, 500}, .bOverrideRedirect = true, .types = {"DROPDOWN_MENU"}});
    ASSERT_TRUE(dropdown.WaitMapped(false));
    EXPECT_EQ(desk.PopupMenuRect(), (Rect{300, 300, 400, 500}));
}

TEST_F(X11Windows, DesktopAndMonitorsCoverTheRoot) {
    CX11DesktopQueries desk(*m_conn);
    EXPECT_EQ(desk.DesktopRect(), (Rect{0, 0, 1280, 1024}));
    EXPECT_EQ(desk.MonitorRects(), (std::vector<Rect>{{0, 0, 1280, 1024}}));
}

TEST_F(X11Windows, PickersOverTheRealWindowStack) {
    CTestWindow window(m_peer, {.rc = {0, 0, 400, 300}, .seed = 17});
    ASSERT_TRUE(window.WaitMapped(true));
    CTestWindow control(m_peer, {.rc = {20, 30, 220, 130}, .seed = 18, .parent = window.Id()});
    ASSERT_TRUE(control.WaitMapped(false));
    const Rect client = *m_conn->InsideRect(window.Id());
    const Rect controlRc = Rect::FromSize(client.left + 20, client.top + 30, 200, 100);

    CX11DesktopQueries desk(*m_conn);
    ASSERT_TRUE(desk.Refresh());
    CRegionTracker tracker;
    tracker.SetDesktopQueries(&desk);
    tracker.Tip().SetMonitors(desk.MonitorRects());
    ASSERT_TRUE(tracker.Start(capture::CaptureMode::Control));
    tracker.OnMouse({capture::MouseKind::Move, controlRc.TopLeft() + Point{3, 3}, 1000});
    const auto r =
        tracker.OnMouse({capture::MouseKind::LeftDown, controlRc.TopLeft() + Point{3, 3}, 1100});
    ASSERT_EQ(r.action, capture::PickerAction::Finish);
    EXPECT_EQ(tracker.Region().rc, controlRc);

    // The same control picked as a circle-sized region and grabbed with its shape: the pattern
    // inside the circle, the fill outside.
    tracker.Reset();
    ASSERT_TRUE(tracker.Start(capture::CaptureMode::Circle));
    tracker.OnMouse({capture::MouseKind::LeftDown, controlRc.TopLeft(), 2000});
    tracker.OnMouse({capture::MouseKind::Move, controlRc.TopLeft() + Point{100, 100}, 2010});
    ASSERT_EQ(
        tracker.OnMouse({capture::MouseKind::LeftDown, controlRc.TopLeft() + Point{100, 100}, 2020})
            .action,
        capture::PickerAction::Finish);
    const capture::CaptureRegion region = tracker.Region();
    ASSERT_EQ(region.rc, Rect::FromSize(controlRc.left, controlRc.top, 100, 100));
    CScreenGrabber grabber(*m_conn);
    CMemoryBitmap b;
    const RGBQuad fill{1, 2, 3, 0};
    ASSERT_TRUE(grabber.Grab(region.rc, b, fill));
    ASSERT_TRUE(capture::ApplyRegionShape(b, region.nShapePoints, region.points, fill));
    EXPECT_EQ(b.Row<RGBQuad>(0)[0], fill);
    EXPECT_EQ(b.Row<RGBQuad>(99)[99], fill);
    EXPECT_EQ(b.Row<RGBQuad>(50)[50], capturetest::PatternPixel(50, 50, 18));
    EXPECT_EQ(b.Row<RGBQuad>(50)[0], capturetest::PatternPixel(0, 50, 18)); // the circle's left tip
}

TEST(X11WindowsWithoutWindowManager, FocusStandsInForTheActiveWindow) {
    REQUIRE_X_SERVER_PROGRAMS();
    testsupport::CXServer::Options options;
    options.cx = 800;
    options.cy = 600;
    options.bWindowManager = false;
    testsupport::CXServer server(options);
    auto conn = CX11Connection::Open(server.DisplayName().c_str());
    ASSERT_TRUE(conn);
    xcb_connection_t* peer = xcb_connect(server.DisplayName().c_str(), nullptr);
    {
        CTestWindow window(peer, {.rc = {30, 40, 230, 140}, .seed = 19});
        ASSERT_TRUE(window.WaitMapped(false));
        CX11DesktopQueries desk(*conn);
        xcb_set_input_focus(peer, XCB_INPUT_FOCUS_POINTER_ROOT, XCB_INPUT_FOCUS_POINTER_ROOT,
                            XCB_CURRENT_TIME);
        xcb_flush(peer);
        ASSERT_TRUE(testsupport::WaitUntil([&] { return !desk.ActiveWindowRect(false); }));
        xcb_set_input_focus(peer, XCB_INPUT_FOCUS_POINTER_ROOT, window.Id(), XCB_CURRENT_TIME);
        xcb_flush(peer);
        ASSERT_TRUE(
            testsupport::WaitUntil([&] { return desk.ActiveWindowRect(false).has_value(); }));
        EXPECT_EQ(*desk.ActiveWindowRect(false), (Rect{30, 40, 230, 140}));
        EXPECT_EQ(*desk.ActiveWindowRect(true), (Rect{30, 40, 230, 140}));
        ASSERT_TRUE(desk.Refresh());
        EXPECT_EQ(desk.WindowRectAt({100, 100}), (Rect{30, 40, 230, 140}));
    }
    xcb_disconnect(peer);
}
