// SPDX-License-Identifier: MIT
// The capture engine tests' fixture.
#include "EngineFixture.h"

#include "framework/UiServices.h"
#include "support/QtWait.h"

#include <QApplication>
#include <QElapsedTimer>

#include <xcb/xcb.h>

namespace {
std::unique_ptr<testsupport::CXServer> s_pServer;
// "Another program" owning the test windows, one connection for all the tests: a closed
// connection's window ids go to the next one, and the window manager keeps naming a destroyed
// window active, so a test of its own connection could find its new window "active" at once.
xcb_connection_t* s_peer = nullptr;
} // namespace

void StartEngineTestServer() {
    s_pServer = std::make_unique<testsupport::CXServer>();
    s_peer = xcb_connect(s_pServer->DisplayName().c_str(), nullptr);
}
void StopEngineTestServer() {
    if (s_peer)
        xcb_disconnect(s_peer);
    s_peer = nullptr;
    s_pServer.reset();
}
testsupport::CXServer* EngineTestServer() {
    return s_pServer.get();
}

CTestCaptureHost::CTestCaptureHost() : m_settings("/nonexistent/quorvi-studio") {
    m_settings.m_wCaptureDelayTime = 0;
    m_settings.m_dwOptionsA =
        platform::options::kShowAfterCapture | platform::options::kOpenImageWindow;
    const std::uint16_t defaults[13] = {0x202C, 0xE043, 0x804E, 0xA053, 0xA052, 0xC043, 0xA045,
                                        0xA050, 0xC04D, 0xA044, 0xC053, 0xC04C, 0x002C};
    for (int i = 0; i < 13; ++i)
        m_settings.Hotkeys()[std::size_t(i)] = defaults[i];
    m_main.setWindowTitle(QStringLiteral("Quorvi Studio test frame"));
    m_main.setGeometry(1000, 800, 200, 150);
}

void CTestCaptureHost::ShowAfterCapture() {
    ++m_nShown;
    m_main.show();
}

void CTestCaptureHost::HideForCapture() {
    ++m_nHidden;
    m_main.hide();
}

QString CTestCaptureHost::HotkeyText(int nAction) {
    return QStringLiteral("Key%1").arg(nAction);
}

void CTestCaptureHost::DeliverCapture(const CImageBitmap& bitmap) {
    auto pCopy = std::make_unique<CMemoryBitmap>();
    pCopy->CreateCopy(bitmap);
    m_delivered.push_back(std::move(pCopy));
    m_mainVisibleAtDelivery.push_back(m_main.isVisible());
}

void CEngineTest::SetUp() {
    REQUIRE_X_SERVER_PROGRAMS();
    ASSERT_TRUE(EngineTestServer());
    m_host.m_ui.SetMessageBoxes(&m_boxes);
    const std::string strDisplay = EngineTestServer()->DisplayName();
    m_pClient = std::make_unique<testsupport::CXClient>(strDisplay);
    m_pClient->MoveTo(640, 1000);
    m_peer = s_peer;
    ASSERT_TRUE(m_peer && !xcb_connection_has_error(m_peer));
    m_root = xcb_setup_roots_iterator(xcb_get_setup(m_peer)).data->root;
    m_host.m_main.show();
    m_pEngine = std::make_unique<CCaptureEngine>(m_host);
    ASSERT_TRUE(m_pEngine->Initialize(strDisplay.c_str()));
    QObject::connect(m_pEngine.get(), &CCaptureEngine::captured, m_pEngine.get(),
                     [this] { ++m_nOutcomes; });
    QObject::connect(m_pEngine.get(), &CCaptureEngine::actionEnded, m_pEngine.get(),
                     [this] { ++m_nOutcomes; });
    ASSERT_TRUE(PumpUntil([&] { return m_host.m_main.isVisible(); }));
}

void CEngineTest::TearDown() {
    m_pEngine.reset();
    m_host.m_ui.SetMessageBoxes(nullptr);
    // The next test starts once the window manager has let go of this one's windows.
    if (m_peer && !xcb_connection_has_error(m_peer)) {
        EXPECT_TRUE(capturetest::WaitWindowsGone(m_peer))
            << "windows of the test stay: " << capturetest::DescribeDesktop(m_peer);
    }
    m_pClient.reset();
}

bool PumpEvents(const std::function<bool()>& pred, int timeoutMs) {
    return testsupport::WaitUntilPumping(pred, std::chrono::milliseconds(timeoutMs));
}

void CEngineTest::PumpFor(int ms) {
    QElapsedTimer timer;
    timer.start();
    PumpUntil([&] { return timer.elapsed() >= ms; }, ms + 1000);
}

bool CEngineTest::WaitForOutcome(std::size_t nDeliveredBefore, int timeoutMs) {
    const int nBefore = m_nOutcomes;
    PumpUntil([&] { return m_nOutcomes > nBefore; }, timeoutMs);
    return m_host.m_delivered.size() > nDeliveredBefore;
}

void CEngineTest::MoveAndWait(int x, int y) {
    m_pClient->MoveTo(x, y);
    m_pClient->Sync();
    PumpUntil(
        [&] {
            return m_pEngine->State() != CCaptureEngine::EState::Picking ||
                   m_pEngine->PointerSeen() == capture::Point{x, y};
        },
        2000);
}

void CEngineTest::ClickAt(int x, int y) {
    MoveAndWait(x, y);
    m_pClient->Click(1);
    m_pClient->Sync();
}

void CEngineTest::Activate(xcb_window_t window) {
    xcb_client_message_event_t event{};
    event.response_type = XCB_CLIENT_MESSAGE;
    event.format = 32;
    event.window = window;
    event.type = capturetest::InternAtom(m_peer, "_NET_ACTIVE_WINDOW");
    event.data.data32[0] = 2; // from a pager: obeyed at once
    event.data.data32[1] = XCB_CURRENT_TIME;
    xcb_send_event(m_peer, 0, m_root,
                   XCB_EVENT_MASK_SUBSTRUCTURE_REDIRECT | XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY,
                   reinterpret_cast<const char*>(&event));
    xcb_flush(m_peer);
    PumpUntil([&] { return capturetest::ActiveWindow(m_peer) == window; });
}

capture::Rect CEngineTest::FrameOf(xcb_window_t client) const {
    xcb_window_t w = client;
    for (;;) {
        auto tree = xcb_query_tree_reply(m_peer, xcb_query_tree(m_peer, w), nullptr);
        if (!tree)
            return {};
        const xcb_window_t parent = tree->parent;
        free(tree);
        if (parent == m_root || parent == XCB_NONE)
            break;
        w = parent;
    }
    auto geo = xcb_get_geometry_reply(m_peer, xcb_get_geometry(m_peer, w), nullptr);
    if (!geo)
        return {};
    const capture::Rect rc = capture::Rect::FromSize(
        geo->x, geo->y, geo->width + 2 * geo->border_width, geo->height + 2 * geo->border_width);
    free(geo);
    return rc;
}

capture::Rect CEngineTest::ClientRectOf(xcb_window_t client) const {
    auto geo = xcb_get_geometry_reply(m_peer, xcb_get_geometry(m_peer, client), nullptr);
    auto at = xcb_translate_coordinates_reply(
        m_peer, xcb_translate_coordinates(m_peer, client, m_root, 0, 0), nullptr);
    capture::Rect rc;
    if (geo && at)
        rc = capture::Rect::FromSize(at->dst_x, at->dst_y, geo->width, geo->height);
    free(geo);
    free(at);
    return rc;
}

RGBQuad PixelAt(const CImageBitmap& b, int x, int y) {
    return b.Row<RGBQuad>(y)[x];
}

int PatternMismatches(const CImageBitmap& b, capture::Rect area, capture::Point windowAt,
                      int seed) {
    int bad = 0;
    for (int y = area.top; y < area.bottom; ++y)
        for (int x = area.left; x < area.right; ++x) {
            const RGBQuad want = capturetest::ScreenPixel(
                capturetest::PatternPixel(x - windowAt.x, y - windowAt.y, seed), 24);
            if (PixelAt(b, x, y) != want && ++bad <= 3)
                ADD_FAILURE() << "pixel " << x << "," << y;
        }
    return bad;
}
