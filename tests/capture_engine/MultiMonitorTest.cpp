// SPDX-License-Identifier: MIT
// Captures on one X screen split into two RandR monitors side by side: the desktop is the whole
// root, regions cross the boundary in root coordinates, the info box keeps to the pointer's
// monitor.
#include "EngineFixture.h"

#include "capture/engine/CaptureOverlay.h"
#include "framework/CommandIds.h"

#include <QGuiApplication>

#include <xcb/randr.h>
#include <xcb/xcbext.h>

#include <sys/uio.h>

#include <cstdlib>

using capture::Point;
using capture::Rect;
using capturetest::CTestWindow;

namespace {

const Rect kLeft{0, 0, 640, 1024};
const Rect kRight{640, 0, 1280, 1024};

class CMultiMonitorTest : public CEngineTest {
protected:
    void SetUp() override {
        CEngineTest::SetUp();
        if (HasFatalFailure())
            return;
        m_nScreensBefore = QGuiApplication::screens().size();
        auto version =
            xcb_randr_query_version_reply(m_peer, xcb_randr_query_version(m_peer, 1, 5), nullptr);
        const bool bMonitors =
            version && (version->major_version > 1 || version->minor_version >= 5);
        std::free(version);
        ASSERT_TRUE(bMonitors) << "the server has no RandR 1.5 monitors";
        // The left monitor takes the screen's one output, so the server drops the output's own
        // monitor; the right one is a monitor without an output.
        auto res = xcb_randr_get_screen_resources_current_reply(
            m_peer, xcb_randr_get_screen_resources_current(m_peer, m_root), nullptr);
        ASSERT_TRUE(res);
        const xcb_randr_output_t output =
            xcb_randr_get_screen_resources_current_outputs_length(res) > 0
                ? xcb_randr_get_screen_resources_current_outputs(res)[0]
                : XCB_NONE;
        std::free(res);
        ASSERT_TRUE(AddMonitor("QUORVI-LEFT", kLeft, output));
        ASSERT_TRUE(AddMonitor("QUORVI-RIGHT", kRight, XCB_NONE));
        ASSERT_TRUE(PumpUntil([&] {
            return ServerMonitors() == std::vector<Rect>{kLeft, kRight};
        }));
        // Qt follows the monitors as screens of its own (when it reads them); give it the
        // chance so the overlay is placed on a settled screen list.
        PumpUntil([&] { return QGuiApplication::screens().size() == 2; }, 2000);
    }

    void TearDown() override {
        if (m_peer) {
            for (xcb_atom_t name : m_names)
                xcb_randr_delete_monitor(m_peer, m_root, name);
            xcb_flush(m_peer);
            EXPECT_TRUE(PumpUntil([&] { return ServerMonitors().size() == 1; }));
            PumpUntil([&] { return QGuiApplication::screens().size() == m_nScreensBefore; }, 2000);
        }
        CEngineTest::TearDown();
    }

    bool AddMonitor(const char* pszName, const Rect& rc, xcb_randr_output_t output) {
        struct {
            xcb_randr_monitor_info_t info;
            xcb_randr_output_t outputs[1];
        } monitor{};
        monitor.info.name = capturetest::InternAtom(m_peer, pszName);
        monitor.info.primary = rc == kLeft;
        monitor.info.nOutput = output != XCB_NONE ? 1 : 0;
        monitor.info.x = std::int16_t(rc.left);
        monitor.info.y = std::int16_t(rc.top);
        monitor.info.width = std::uint16_t(rc.Width());
        monitor.info.height = std::uint16_t(rc.Height());
        monitor.info.width_in_millimeters = std::uint32_t(rc.Width() * 254 / 960);
        monitor.info.height_in_millimeters = std::uint32_t(rc.Height() * 286 / 1080);
        monitor.outputs[0] = output;
        // Sent by hand: the request has the window and then the monitor with its outputs.
        struct {
            std::uint32_t header = 0; // opcodes and length, filled in by xcb
            xcb_window_t window;
        } request{0, m_root};
        struct iovec parts[4];
        parts[2].iov_base = &request;
        parts[2].iov_len = sizeof request;
        parts[3].iov_base = &monitor;
        parts[3].iov_len =
            sizeof monitor.info + (output != XCB_NONE ? sizeof(xcb_randr_output_t) : 0);
        xcb_protocol_request_t protocol{2, &xcb_randr_id, XCB_RANDR_SET_MONITOR, 1};
        const xcb_void_cookie_t cookie{
            xcb_send_request(m_peer, XCB_REQUEST_CHECKED, parts + 2, &protocol)};
        xcb_generic_error_t* pError = xcb_request_check(m_peer, cookie);
        const bool bSet = pError == nullptr;
        std::free(pError);
        if (bSet)
            m_names.push_back(monitor.info.name);
        return bSet;
    }

    // The monitors as the server lists them, left to right.
    std::vector<Rect> ServerMonitors() const {
        std::vector<Rect> monitors;
        auto r = xcb_randr_get_monitors_reply(m_peer, xcb_randr_get_monitors(m_peer, m_root, 1),
                                              nullptr);
        if (!r)
            return monitors;
        for (auto it = xcb_randr_get_monitors_monitors_iterator(r); it.rem;
             xcb_randr_monitor_info_next(&it))
            monitors.push_back(
                Rect::FromSize(it.data->x, it.data->y, it.data->width, it.data->height));
        std::free(r);
        std::sort(monitors.begin(), monitors.end(),
                  [](const Rect& a, const Rect& b) { return a.left < b.left; });
        return monitors;
    }

    // Wherever the window manager placed the window, the program moves it to at, on the right
    // monitor; true once its frame is there.
    bool MoveOntoRightMonitor(xcb_window_t window, Point at) {
        const std::uint32_t values[] = {std::uint32_t(at.x), std::uint32_t(at.y)};
        xcb_configure_window(m_peer, window, XCB_CONFIG_WINDOW_X | XCB_CONFIG_WINDOW_Y, values);
        xcb_flush(m_peer);
        return PumpUntil([&] { return FrameOf(window).left >= kRight.left; });
    }

    // The info box must lie wholly on one monitor.
    static bool Within(const Rect& inner, const Rect& outer) {
        return inner.Intersect(outer) == inner;
    }

    std::vector<xcb_atom_t> m_names;
    qsizetype m_nScreensBefore = 0;
};

} // namespace

TEST_F(CMultiMonitorTest, DesktopIsTheWholeRootAcrossBothMonitors) {
    CTestWindow across(m_peer, {.rc = {500, 100, 800, 400}, .seed = 30, .bOverrideRedirect = true});
    CTestWindow right(m_peer,
                      {.rc = {1100, 700, 1280, 1024}, .seed = 31, .bOverrideRedirect = true});
    ASSERT_TRUE(across.WaitMapped(false) && right.WaitMapped(false));
    ASSERT_TRUE(m_pEngine->StartCommand(ID_CAPTURE_DESKTOP));
    ASSERT_TRUE(WaitForOutcome(0));
    const CImageBitmap& b = LastCapture();
    ASSERT_EQ(b.Width(), 1280);
    ASSERT_EQ(b.Height(), 1024);
    EXPECT_EQ(PatternMismatches(b, {500, 100, 800, 400}, {500, 100}, 30), 0);
    EXPECT_EQ(PatternMismatches(b, {1100, 700, 1280, 1024}, {1100, 700}, 31), 0);
}

TEST_F(CMultiMonitorTest, RectangleAcrossTheBoundaryWithTheInfoBoxOnThePointersMonitor) {
    CTestWindow window(m_peer, {.rc = {0, 0, 1280, 1024}, .seed = 32, .bOverrideRedirect = true});
    ASSERT_TRUE(window.WaitMapped(false));
    ASSERT_TRUE(m_pEngine->StartCommand(ID_CAPTURE_RECTANGLE));
    ASSERT_TRUE(WaitPicking());
    EXPECT_EQ(m_pEngine->Tracker().Tip().Monitors(), (std::vector<Rect>{kLeft, kRight}));
    // The frozen screen covers both monitors.
    ASSERT_TRUE(PumpUntil([&] { return m_pEngine->Overlay()->isVisible(); }));
    const xcb_window_t overlay = xcb_window_t(m_pEngine->Overlay()->winId());
    EXPECT_TRUE(PumpUntil([&] {
        return ClientRectOf(overlay) == Rect{0, 0, 1280, 1024};
    })) << ClientRectOf(overlay).Width()
        << "x" << ClientRectOf(overlay).Height();

    const capture::Size box = m_pEngine->Tracker().Tip().BoxSize();
    ASSERT_LT(box.cx + 8, kLeft.Width()) << "the box must fit one monitor for this test";
    // Just left of the boundary the box is pulled back onto the left monitor; just right of it
    // the box sits beside the pointer.
    MoveAndWait(630, 500);
    Rect rcTip = m_pEngine->Overlay()->Feedback().rcTip;
    EXPECT_TRUE(Within(rcTip, kLeft)) << rcTip.left << "," << rcTip.top;
    EXPECT_EQ(rcTip.right, kLeft.right - 4);
    MoveAndWait(641, 500);
    rcTip = m_pEngine->Overlay()->Feedback().rcTip;
    EXPECT_EQ(rcTip.TopLeft(), (Point{643, 502}));
    // The bottom edge of each monitor.
    MoveAndWait(100, 1020);
    rcTip = m_pEngine->Overlay()->Feedback().rcTip;
    EXPECT_TRUE(Within(rcTip, kLeft)) << rcTip.left << "," << rcTip.top;
    EXPECT_EQ(rcTip.bottom, kLeft.bottom - 4);

    // Anchored on the left monitor, stretched onto the right one.
    ClickAt(500, 300);
    MoveAndWait(900, 620);
    const capture::PickerFeedback feedback = m_pEngine->Overlay()->Feedback();
    EXPECT_EQ(feedback.rcFocus, (Rect{500, 300, 900, 620}));
    EXPECT_EQ(feedback.strTipText, CTrackerTip::SizeText(400, 320));
    EXPECT_TRUE(Within(feedback.rcTip, kRight)) << feedback.rcTip.left << "," << feedback.rcTip.top;
    m_pClient->Click(1);
    ASSERT_TRUE(WaitForOutcome(0));
    const CImageBitmap& b = LastCapture();
    ASSERT_EQ(b.Width(), 400);
    ASSERT_EQ(b.Height(), 320);
    EXPECT_EQ(PatternMismatches(b, {0, 0, 400, 320}, {-500, -300}, 32), 0);
}

TEST_F(CMultiMonitorTest, SingleWindowPickerTakesAWindowOnTheRightMonitor) {
    CTestWindow window(m_peer, {.rc = {900, 200, 1140, 380}, .seed = 33});
    ASSERT_TRUE(window.WaitMapped(true));
    ASSERT_TRUE(MoveOntoRightMonitor(window.Id(), {900, 200}));
    const Rect rcFrame = FrameOf(window.Id());
    const Rect rcClient = ClientRectOf(window.Id());
    ASSERT_TRUE(m_pEngine->StartCommand(ID_CAPTURE_SINGLE_WINDOW));
    ASSERT_TRUE(WaitPicking());
    ClickAt(rcClient.left + 20, rcClient.top + 20);
    ASSERT_TRUE(WaitForOutcome(0));
    ASSERT_EQ(LastCapture().Width(), rcFrame.Width());
    ASSERT_EQ(LastCapture().Height(), rcFrame.Height());
    const Point inside = rcClient.TopLeft() - rcFrame.TopLeft();
    EXPECT_EQ(
        PatternMismatches(LastCapture(), Rect::FromSize(inside.x, inside.y, 240, 180), inside, 33),
        0);
}

TEST_F(CMultiMonitorTest, MaximisedWindowOnTheRightMonitorIsCapturedWithinIt) {
    CTestWindow window(m_peer, {.rc = {800, 200, 1100, 400}, .seed = 34});
    ASSERT_TRUE(window.WaitMapped(true));
    ASSERT_TRUE(MoveOntoRightMonitor(window.Id(), {800, 200}));
    capturetest::RequestMaximize(m_peer, window.Id());
    // The window manager fills the monitor the window is on, not the whole root.
    ASSERT_TRUE(PumpUntil([&] {
        return FrameOf(window.Id()) == kRight && ClientRectOf(window.Id()).Width() == 640;
    })) << "frame "
        << FrameOf(window.Id()).left << "," << FrameOf(window.Id()).top << " "
        << FrameOf(window.Id()).Width() << "x" << FrameOf(window.Id()).Height();
    Activate(window.Id());
    const Rect rcClient = ClientRectOf(window.Id());
    ASSERT_TRUE(m_pEngine->StartCommand(ID_CAPTURE_ACTIVE_WINDOW));
    ASSERT_TRUE(WaitForOutcome(0));
    // Within the right monitor only, the client where it is; the window painted its pattern
    // at its first size, 300 x 200.
    EXPECT_LE(LastCapture().Width(), kRight.Width());
    EXPECT_LE(LastCapture().Height(), kRight.Height());
    EXPECT_GE(LastCapture().Width(), rcClient.Width());
    const Point inside{0, LastCapture().Height() - rcClient.Height()};
    EXPECT_EQ(
        PatternMismatches(LastCapture(), Rect::FromSize(inside.x, inside.y, 300, 200), inside, 34),
        0);
}
