// SPDX-License-Identifier: MIT
// Regions copied out of a frozen screen image, against a per-pixel reference.
#include "capture/RegionGrab.h"
#include "image/DibBitmap.h"
#include "image/MemoryBitmap.h"

#include <gtest/gtest.h>

#include <cstdint>

using capture::CaptureRegion;
using capture::Point;
using capture::Rect;

namespace {

constexpr RGBQuad kFill{7, 7, 7, 0};

RGBQuad ScreenPixel(int x, int y) {
    return RGBQuad{std::uint8_t(x), std::uint8_t(y), std::uint8_t(x ^ y), 0};
}

// A 200x100 "screen" whose top-left pixel is root point (50, 20).
void MakeScreen(CImageBitmap& s) {
    s.Create(200, 100, 32);
    for (int y = 0; y < 100; ++y)
        for (int x = 0; x < 200; ++x)
            s.Row<RGBQuad>(y)[x] = ScreenPixel(x + 50, y + 20);
}

// The triangle (0,40) (40,40) (20,0) at pixel centres: at height cy its edges are 20 -+ cy / 2
// away; a centre on the left edge is in, on the right edge out. Halves and quarters are exact.
bool InsideTriangle(int x, int y) {
    const double px = x + 0.5, cy = y + 0.5;
    return cy < 40 && px >= 20 - cy / 2 && px < 20 + cy / 2;
}

} // namespace

TEST(CopyRegion, RectangleInsideAndAcrossTheScreenEdge) {
    CDibBitmap screen;
    MakeScreen(screen);
    CMemoryBitmap out;
    ASSERT_TRUE(capture::CopyRegion(screen, {50, 20}, {{60, 30, 90, 50}, 0, {}}, kFill, out));
    ASSERT_EQ(out.Width(), 30);
    for (int y = 0; y < 20; ++y)
        for (int x = 0; x < 30; ++x)
            ASSERT_EQ(out.Row<RGBQuad>(y)[x], ScreenPixel(x + 60, y + 30));
    // Reaching past the screen's left and bottom: fill there.
    ASSERT_TRUE(capture::CopyRegion(screen, {50, 20}, {{40, 100, 70, 130}, 0, {}}, kFill, out));
    for (int y = 0; y < 30; ++y)
        for (int x = 0; x < 30; ++x) {
            const int rx = x + 40, ry = y + 100;
            const bool on = rx >= 50 && rx < 250 && ry >= 20 && ry < 120;
            ASSERT_EQ(out.Row<RGBQuad>(y)[x], on ? ScreenPixel(rx, ry) : kFill) << x << "," << y;
        }
}

TEST(CopyRegion, ShapesAndTheOnePointRule) {
    CDibBitmap screen;
    MakeScreen(screen);
    CMemoryBitmap out;
    const CaptureRegion triangle{{100, 40, 140, 80}, 3, {{0, 40}, {40, 40}, {20, 0}}};
    ASSERT_TRUE(capture::CopyRegion(screen, {50, 20}, triangle, kFill, out));
    for (int y = 0; y < 40; ++y)
        for (int x = 0; x < 40; ++x)
            ASSERT_EQ(out.Row<RGBQuad>(y)[x],
                      InsideTriangle(x, y) ? ScreenPixel(x + 100, y + 40) : kFill)
                << x << "," << y;
    const CaptureRegion onePoint{{100, 40, 140, 80}, 1, {}};
    ASSERT_TRUE(capture::CopyRegion(screen, {50, 20}, onePoint, kFill, out));
    for (int y = 0; y < 40; ++y)
        for (int x = 0; x < 40; ++x)
            ASSERT_EQ(out.Row<RGBQuad>(y)[x], kFill);
}

TEST(CopyRegion, RefusesEmptyRegionsAndOtherDepths) {
    CDibBitmap screen;
    MakeScreen(screen);
    CMemoryBitmap out;
    EXPECT_FALSE(capture::CopyRegion(screen, {0, 0}, {{10, 10, 10, 40}, 0, {}}, kFill, out));
    EXPECT_EQ(out.Width(), 16); // untouched
    CMemoryBitmap eight;
    eight.Create(10, 10, 8);
    EXPECT_FALSE(capture::CopyRegion(eight, {0, 0}, {{0, 0, 5, 5}, 0, {}}, kFill, out));
    // Wholly off the screen image: all fill, not an error.
    ASSERT_TRUE(capture::CopyRegion(screen, {50, 20}, {{0, 0, 10, 10}, 0, {}}, kFill, out));
    EXPECT_EQ(out.Row<RGBQuad>(9)[9], kFill);
}
