// SPDX-License-Identifier: MIT
// Grabs the server writes straight into a shared-memory bitmap, in bands on a screen larger
// than one band, and the fourth-byte clearing they rely on.
#include "X11TestWindows.h"
#include "capture/x11/ScreenGrabber.h"
#include "image/MemoryBitmap.h"
#include "support/XServer.h"

#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <random>

using capture::Rect;
using capturetest::CTestWindow;

TEST(ClearFourthBytes, ClearsEveryFourthByteAndNothingElse) {
    std::mt19937 random(5);
    for (std::size_t count : {std::size_t(0), std::size_t(1), std::size_t(7), std::size_t(2048),
                              std::size_t(2049), std::size_t(10000)}) {
        for (int density : {0, 1, 100}) { // none, a few, all of the fourth bytes set
            std::vector<std::uint8_t> pixels(count * 4);
            for (std::size_t i = 0; i < pixels.size(); ++i)
                pixels[i] =
                    (i % 4 != 3 || int(random() % 100) < density) ? std::uint8_t(random() | 1) : 0;
            std::vector<std::uint8_t> want = pixels;
            for (std::size_t i = 3; i < want.size(); i += 4)
                want[i] = 0;
            capture::ClearFourthBytes(pixels.data(), count);
            EXPECT_EQ(pixels, want) << count << " pixels, density " << density;
        }
    }
}

namespace {

int Mismatches(const CImageBitmap& b, Rect area, capture::Point windowAt, int seed) {
    int bad = 0;
    for (int y = area.top; y < area.bottom; ++y)
        for (int x = area.left; x < area.right; ++x)
            if (b.Row<RGBQuad>(y)[x] !=
                    capturetest::PatternPixel(x - windowAt.x, y - windowAt.y, seed) &&
                ++bad <= 3)
                ADD_FAILURE() << "pixel " << x << "," << y;
    return bad;
}

} // namespace

// 2400x1500 at 4 bytes a pixel is 14 bands of 1 MiB; a window straddles several seams.
TEST(X11ShmBitmap, LargeScreenComesBackInPlaceAndByCopy) {
    REQUIRE_X_SERVER_PROGRAMS();
    testsupport::CXServer::Options options;
    options.cx = 2400;
    options.cy = 1500;
    options.bWindowManager = false;
    testsupport::CXServer server(options);
    auto conn = CX11Connection::Open(server.DisplayName().c_str());
    ASSERT_TRUE(conn);
    xcb_connection_t* peer = xcb_connect(server.DisplayName().c_str(), nullptr);
    {
        CTestWindow window(peer,
                           {.rc = {1000, 700, 1700, 1200}, .seed = 6, .bOverrideRedirect = true});
        ASSERT_TRUE(window.WaitMapped(false));
        CScreenGrabber grabber(*conn);
        ASSERT_TRUE(grabber.IsShmAvailable());

        CShmBitmap shm(*conn);
        ASSERT_TRUE(grabber.Grab({0, 0, 2400, 1500}, shm));
        ASSERT_NE(shm.Segment(), nullptr);
        EXPECT_EQ(shm.Bits(), shm.Segment()->Data()) << "the pixels are the segment";
        EXPECT_EQ(Mismatches(shm, {1000, 700, 1700, 1200}, {1000, 700}, 6), 0);
        CMemoryBitmap copy;
        ASSERT_TRUE(grabber.Grab({0, 0, 2400, 1500}, copy));
        for (int y = 0; y < 1500; ++y)
            ASSERT_EQ(std::memcmp(copy.Line(y), shm.Line(y), 2400 * 4), 0) << "row " << y;
        // The plain request agrees, band seams included.
        grabber.SetShmEnabled(false);
        CMemoryBitmap plain;
        ASSERT_TRUE(grabber.Grab({900, 600, 1800, 1300}, plain));
        EXPECT_EQ(Mismatches(plain, {100, 100, 800, 600}, {100, 100}, 6), 0);
        grabber.SetShmEnabled(true);

        // A smaller grab reuses the segment; one partly off the screen is filled around.
        const CShmSegment* segment = shm.Segment();
        ASSERT_TRUE(grabber.Grab({1100, 800, 1300, 900}, shm));
        EXPECT_EQ(shm.Segment(), segment);
        EXPECT_EQ(Mismatches(shm, {0, 0, 200, 100}, {-100, -100}, 6), 0);
        ASSERT_TRUE(grabber.Grab({2300, 1400, 2500, 1600}, shm, RGBQuad{1, 2, 3, 0}));
        EXPECT_EQ(shm.Row<RGBQuad>(199)[199], (RGBQuad{1, 2, 3, 0}));
        EXPECT_EQ(shm.Row<RGBQuad>(0)[0], copy.Row<RGBQuad>(1400)[2300]);

        // Storage trades keep the pixels with them.
        auto other = shm.CreateEmptyLike();
        ASSERT_TRUE(dynamic_cast<CShmBitmap*>(other.get()));
        ASSERT_TRUE(grabber.Grab({1000, 700, 1100, 750}, *other));
        shm.SwapStorage(*other);
        EXPECT_EQ(shm.Width(), 100);
        EXPECT_EQ(Mismatches(shm, {0, 0, 100, 50}, {0, 0}, 6), 0);
        EXPECT_EQ(other->Width(), 200);
        ASSERT_TRUE(grabber.Grab({1000, 700, 1100, 750}, *other))
            << "a grab into the traded segment";
        EXPECT_EQ(Mismatches(*other, {0, 0, 100, 50}, {0, 0}, 6), 0);
    }
    xcb_disconnect(peer);
}
