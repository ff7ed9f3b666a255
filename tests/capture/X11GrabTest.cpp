// SPDX-License-Identifier: MIT
// Root grabs and the pointer image on a real X server (Xvfb): known window pixels come back,
// shared memory and plain requests agree, the cursor is blended where the pointer is.
#include "X11TestWindows.h"
#include "capture/RegionGrab.h"
#include "capture/x11/CursorImage.h"
#include "capture/x11/ScreenGrabber.h"
#include "image/DibBitmap.h"
#include "image/MemoryBitmap.h"
#include "support/XServer.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <memory>

using capture::Point;
using capture::Rect;
using capturetest::CTestWindow;

namespace {

// Counts pixels of bitmap area `area` that differ from the pattern of a window whose top-left
// pixel is at bitmap point `windowAt`.
int PatternMismatches(const CImageBitmap& b, Rect area, Point windowAt, int seed, int depth = 24) {
    int bad = 0;
    for (int y = area.top; y < area.bottom; ++y)
        for (int x = area.left; x < area.right; ++x) {
            const RGBQuad want = capturetest::ScreenPixel(
                capturetest::PatternPixel(x - windowAt.x, y - windowAt.y, seed), depth);
            if (b.Row<RGBQuad>(y)[x] != want && ++bad <= 3)
                ADD_FAILURE() << "pixel " << x << "," << y;
        }
    return bad;
}

class X11Grab : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        testsupport::CXServer::Options options;
        options.bWindowManager = false; // windows stay exactly where they are put
        s_server = std::make_unique<testsupport::CXServer>(options);
    }
    static void TearDownTestSuite() { s_server.reset(); }

    void SetUp() override {
        REQUIRE_X_SERVER_PROGRAMS();
        m_conn = CX11Connection::Open(s_server->DisplayName().c_str());
        ASSERT_TRUE(m_conn);
        m_peer = xcb_connect(s_server->DisplayName().c_str(), nullptr);
        ASSERT_FALSE(xcb_connection_has_error(m_peer));
    }
    void TearDown() override {
        if (m_peer)
            xcb_disconnect(m_peer);
    }

    static std::unique_ptr<testsupport::CXServer> s_server;
    std::unique_ptr<CX11Connection> m_conn;
    xcb_connection_t* m_peer = nullptr; // "another program" owning the test windows
};
std::unique_ptr<testsupport::CXServer> X11Grab::s_server;

} // namespace

TEST_F(X11Grab, WindowPixelsComeBackExactly) {
    CTestWindow window(m_peer, {.rc = {100, 80, 403, 281}, .seed = 1, .bOverrideRedirect = true});
    ASSERT_TRUE(window.WaitMapped(false));
    CScreenGrabber grabber(*m_conn);
    ASSERT_TRUE(grabber.IsShmAvailable());
    CMemoryBitmap b;
    ASSERT_TRUE(grabber.Grab({100, 80, 403, 281}, b));
    EXPECT_EQ(b.Width(), 303);
    EXPECT_EQ(b.Height(), 201);
    EXPECT_EQ(b.Depth(), 32);
    EXPECT_EQ(PatternMismatches(b, {0, 0, 303, 201}, {0, 0}, 1), 0);
    // A part of it, into a bottom-up bitmap: rows still come top-down through Line(y).
    CDibBitmap dib;
    ASSERT_TRUE(grabber.Grab({150, 100, 170, 130}, dib));
    EXPECT_EQ(PatternMismatches(dib, {0, 0, 20, 30}, {-50, -20}, 1), 0);
}

TEST_F(X11Grab, SharedMemoryAndPlainRequestsAgree) {
    CTestWindow a(m_peer, {.rc = {0, 0, 700, 500}, .seed = 2, .bOverrideRedirect = true});
    CTestWindow b(m_peer, {.rc = {600, 400, 1280, 1024}, .seed = 3, .bOverrideRedirect = true});
    ASSERT_TRUE(a.WaitMapped(false) && b.WaitMapped(false));
    CScreenGrabber grabber(*m_conn);
    const Rect root = m_conn->RootRect();
    CMemoryBitmap viaShm, viaPlain;
    ASSERT_TRUE(grabber.Grab(root, viaShm));
    grabber.SetShmEnabled(false);
    ASSERT_TRUE(grabber.Grab(root, viaPlain));
    ASSERT_EQ(viaShm.Width(), viaPlain.Width());
    for (int y = 0; y < root.Height(); ++y)
        ASSERT_EQ(std::memcmp(viaShm.Line(y), viaPlain.Line(y), viaShm.PixelBytesPerLine()), 0)
            << "row " << y;
    EXPECT_EQ(PatternMismatches(viaShm, {0, 0, 600, 500}, {0, 0}, 2), 0);
    EXPECT_EQ(PatternMismatches(viaShm, {600, 400, 1280, 1024}, {600, 400}, 3), 0);
    for (int y = 0; y < root.Height(); y += 97) // the fourth byte is always 0
        for (int x = 0; x < root.Width(); x += 13)
            ASSERT_EQ(viaShm.Row<RGBQuad>(y)[x].reserved, 0);
}

TEST_F(X11Grab, RectanglesReachingPastTheRootAreFilledOutside) {
    CTestWindow window(m_peer, {.rc = {0, 0, 64, 64}, .seed = 4, .bOverrideRedirect = true});
    CTestWindow corner(m_peer,
                       {.rc = {1216, 960, 1280, 1024}, .seed = 5, .bOverrideRedirect = true});
    ASSERT_TRUE(window.WaitMapped(false) && corner.WaitMapped(false));
    CScreenGrabber grabber(*m_conn);
    const RGBQuad fill{9, 8, 7, 0};
    for (bool shm : {true, false}) {
        grabber.SetShmEnabled(shm);
        CMemoryBitmap b;
        ASSERT_TRUE(grabber.Grab({-10, -20, 30, 40}, b, fill));
        EXPECT_EQ(b.Width(), 40);
        EXPECT_EQ(b.Height(), 60);
        EXPECT_EQ(PatternMismatches(b, {10, 20, 40, 60}, {10, 20}, 4), 0);
        for (int y = 0; y < 60; ++y)
            for (int x = 0; x < 40; ++x) {
                if (x < 10 || y < 20) {
                    ASSERT_EQ(b.Row<RGBQuad>(y)[x], fill) << x << "," << y;
                }
            }
        ASSERT_TRUE(grabber.Grab({1250, 1000, 1300, 1050}, b, fill));
        EXPECT_EQ(PatternMismatches(b, {0, 0, 30, 24}, {-34, -40}, 5), 0);
        EXPECT_EQ(b.Row<RGBQuad>(24)[0], fill);
        EXPECT_EQ(b.Row<RGBQuad>(0)[30], fill);
        // Wholly outside: all fill.
        ASSERT_TRUE(grabber.Grab({2000, 2000, 2010, 2005}, b, fill));
        EXPECT_EQ(b.Row<RGBQuad>(4)[9], fill);
    }
    CMemoryBitmap untouched;
    EXPECT_FALSE(grabber.Grab({5, 5, 5, 50}, untouched)); // empty
    EXPECT_EQ(untouched.Width(), 16);
}

TEST_F(X11Grab, ReusesTheBitmapAndTheSegment) {
    CTestWindow window(m_peer, {.rc = {10, 10, 210, 110}, .seed = 6, .bOverrideRedirect = true});
    ASSERT_TRUE(window.WaitMapped(false));
    CScreenGrabber grabber(*m_conn);
    CMemoryBitmap b;
    ASSERT_TRUE(grabber.Grab({10, 10, 210, 110}, b));
    const std::uint8_t* bits = b.Bits();
    for (int i = 0; i < 20; ++i)
        ASSERT_TRUE(grabber.Grab({10, 10, 210, 110}, b));
    EXPECT_EQ(b.Bits(), bits);
    EXPECT_EQ(PatternMismatches(b, {0, 0, 200, 100}, {0, 0}, 6), 0);
}

TEST_F(X11Grab, LiveRegionsEqualRegionsCutFromAFrozenScreen) {
    CTestWindow window(m_peer, {.rc = {40, 50, 640, 450}, .seed = 10, .bOverrideRedirect = true});
    ASSERT_TRUE(window.WaitMapped(false));
    CScreenGrabber grabber(*m_conn);
    CMemoryBitmap frozen;
    ASSERT_TRUE(grabber.Grab(m_conn->RootRect(), frozen));
    const RGBQuad fill{0, 255, 0, 0};
    const capture::CaptureRegion regions[] = {
        {{100, 100, 300, 250}, 0, {}},
        {{1200, 900, 1400, 1100}, 2, {}}, // an ellipse reaching past the root
        {{60, 70, 260, 270}, 5, {{0, 0}, {200, 50}, {20, 200}, {180, 180}, {100, 0}}},
        {{60, 70, 260, 270}, 1, {}},
    };
    for (const auto& region : regions) {
        CMemoryBitmap live, cut;
        ASSERT_TRUE(capture::GrabRegion(grabber, region, fill, live));
        ASSERT_TRUE(capture::CopyRegion(frozen, {0, 0}, region, fill, cut));
        ASSERT_EQ(live.Width(), region.rc.Width());
        for (int y = 0; y < live.Height(); ++y)
            ASSERT_EQ(std::memcmp(live.Line(y), cut.Line(y), live.PixelBytesPerLine()), 0)
                << region.nShapePoints << " points, row " << y;
    }
    // A polygon corner inside the window is the window's pixel; outside the polygon, the fill.
    CMemoryBitmap b;
    ASSERT_TRUE(capture::GrabRegion(grabber, regions[2], fill, b));
    EXPECT_EQ(b.Row<RGBQuad>(2)[99], capturetest::PatternPixel(60 + 99 - 40, 70 + 2 - 50, 10));
    EXPECT_EQ(b.Row<RGBQuad>(199)[199], fill);
}

TEST(X11GrabServers, PlainRequestsWhenTheServerHasNoSharedMemory) {
    REQUIRE_X_SERVER_PROGRAMS();
    testsupport::CXServer::Options options;
    options.cx = 640;
    options.cy = 480;
    options.bWindowManager = false;
    options.extraArguments = {"-extension", "MIT-SHM"};
    testsupport::CXServer server(options);
    auto conn = CX11Connection::Open(server.DisplayName().c_str());
    ASSERT_TRUE(conn);
    xcb_connection_t* peer = xcb_connect(server.DisplayName().c_str(), nullptr);
    {
        CTestWindow window(peer, {.rc = {20, 30, 220, 130}, .seed = 7, .bOverrideRedirect = true});
        ASSERT_TRUE(window.WaitMapped(false));
        CScreenGrabber grabber(*conn);
        EXPECT_FALSE(grabber.IsShmAvailable());
        CMemoryBitmap b;
        ASSERT_TRUE(grabber.Grab({0, 0, 640, 480}, b));
        EXPECT_EQ(PatternMismatches(b, {20, 30, 220, 130}, {20, 30}, 7), 0);
    }
    xcb_disconnect(peer);
}

TEST(X11GrabServers, SixteenBitScreenIsWidenedToEightBitsPerChannel) {
    REQUIRE_X_SERVER_PROGRAMS();
    // The later -screen option wins over the harness's 24-bit one.
    testsupport::CXServer::Options options;
    options.cx = 640;
    options.cy = 480;
    options.bWindowManager = false;
    options.extraArguments = {"-screen", "0", "640x480x16"};
    testsupport::CXServer server(options);
    auto conn = CX11Connection::Open(server.DisplayName().c_str());
    ASSERT_TRUE(conn);
    ASSERT_EQ(conn->Screen()->root_depth, 16);
    xcb_connection_t* peer = xcb_connect(server.DisplayName().c_str(), nullptr);
    {
        CTestWindow window(peer, {.rc = {5, 7, 305, 207}, .seed = 8, .bOverrideRedirect = true});
        ASSERT_TRUE(window.WaitMapped(false));
        CScreenGrabber grabber(*conn);
        EXPECT_FALSE(grabber.PixelFormat().IsNativeBgrx());
        for (bool shm : {true, false}) {
            grabber.SetShmEnabled(shm);
            CMemoryBitmap b;
            ASSERT_TRUE(grabber.Grab({5, 7, 305, 207}, b));
            EXPECT_EQ(PatternMismatches(b, {0, 0, 300, 200}, {0, 0}, 8, 16), 0);
        }
    }
    xcb_disconnect(peer);
}

// ---- Pointer image ----

namespace {

// A two-colour core cursor: 16x16, the mask covers the top-left 10x12 pixels, the source is a
// checkerboard of 2x2 cells; hot spot (3, 5).
xcb_cursor_t MakeCheckerCursor(xcb_connection_t* c, xcb_window_t root) {
    const xcb_setup_t* setup = xcb_get_setup(c);
    const bool lsb = setup->bitmap_format_bit_order == XCB_IMAGE_ORDER_LSB_FIRST;
    const int stride = (16 + setup->bitmap_format_scanline_pad - 1) /
                       setup->bitmap_format_scanline_pad * setup->bitmap_format_scanline_pad / 8;
    auto bitmap = [&](auto isSet) {
        std::vector<std::uint8_t> bits(std::size_t(stride) * 16);
        for (int y = 0; y < 16; ++y)
            for (int x = 0; x < 16; ++x)
                if (isSet(x, y))
                    bits[std::size_t(y * stride + x / 8)] |=
                        std::uint8_t(lsb ? 1 << (x % 8) : 0x80 >> (x % 8));
        xcb_pixmap_t p = xcb_generate_id(c);
        xcb_create_pixmap(c, 1, p, root, 16, 16);
        xcb_gcontext_t gc = xcb_generate_id(c);
        xcb_create_gc(c, gc, p, 0, nullptr);
        xcb_put_image(c, XCB_IMAGE_FORMAT_Z_PIXMAP, p, gc, 16, 16, 0, 0, 0, 1,
                      std::uint32_t(bits.size()), bits.data());
        xcb_free_gc(c, gc);
        return p;
    };
    const xcb_pixmap_t src = bitmap([](int x, int y) { return ((x / 2) + (y / 2)) % 2 == 0; });
    const xcb_pixmap_t msk = bitmap([](int x, int y) { return x < 10 && y < 12; });
    xcb_cursor_t cursor = xcb_generate_id(c);
    xcb_create_cursor(c, cursor, src, msk, 0xFFFF, 0, 0, 0, 0, 0xFFFF, 3, 5); // red on blue
    xcb_free_pixmap(c, src);
    xcb_free_pixmap(c, msk);
    return cursor;
}

} // namespace

TEST_F(X11Grab, CursorImageOfAnotherProgramsWindowIsBlendedAtThePointer) {
    xcb_screen_t* screen = xcb_setup_roots_iterator(xcb_get_setup(m_peer)).data;
    const xcb_cursor_t cursor = MakeCheckerCursor(m_peer, screen->root);
    CTestWindow window(
        m_peer,
        {.rc = {300, 300, 500, 450}, .seed = 9, .bOverrideRedirect = true, .cursor = cursor});
    ASSERT_TRUE(window.WaitMapped(false));
    xcb_warp_pointer(m_peer, XCB_NONE, screen->root, 0, 0, 0, 0, 350, 340);
    xcb_flush(m_peer);
    std::optional<CursorImage> image;
    ASSERT_TRUE(testsupport::WaitUntil([&] {
        image = capture::FetchCursorImage(*m_conn);
        return image && image->ptPointer == Point{350, 340} && image->nWidth == 16;
    }));
    EXPECT_EQ(image->ptHotSpot, (Point{3, 5}));
    ASSERT_EQ(image->nHeight, 16);
    // What the core cursor must look like as ARGB: opaque red where source and mask are set,
    // opaque blue where only the mask is, transparent elsewhere.
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 16; ++x) {
            const std::uint32_t want = !(x < 10 && y < 12)            ? 0u
                                       : ((x / 2) + (y / 2)) % 2 == 0 ? 0xFFFF0000u
                                                                      : 0xFF0000FFu;
            ASSERT_EQ(image->argb[std::size_t(y * 16 + x)], want) << x << "," << y;
        }
    // Blend into a grab of the window: the corner is at pointer minus hot spot = (347, 335).
    CScreenGrabber grabber(*m_conn);
    CMemoryBitmap b;
    ASSERT_TRUE(grabber.Grab({300, 300, 500, 450}, b));
    ASSERT_TRUE(capture::BlendCursor(b, {300, 300}, *image));
    for (int y = 0; y < 150; ++y)
        for (int x = 0; x < 200; ++x) {
            const int cx = x + 300 - 347, cy = y + 300 - 335;
            RGBQuad want = capturetest::PatternPixel(x, y, 9);
            if (cx >= 0 && cy >= 0 && cx < 10 && cy < 12)
                want =
                    ((cx / 2) + (cy / 2)) % 2 == 0 ? RGBQuad{0, 0, 255, 0} : RGBQuad{255, 0, 0, 0};
            ASSERT_EQ(b.Row<RGBQuad>(y)[x], want) << x << "," << y;
        }
    xcb_free_cursor(m_peer, cursor);
}
