// SPDX-License-Identifier: MIT
// Ellipse and polygon shapes of a capture against per-pixel references.
#include "capture/RegionMask.h"
#include "image/DibBitmap.h"
#include "image/MemoryBitmap.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <random>
#include <vector>

using capture::FillRule;
using capture::Point;

namespace {

constexpr RGBQuad kFill{1, 2, 3, 0};
constexpr RGBQuad kKeep{200, 201, 202, 0};

void Paint(CImageBitmap& b, RGBQuad q) {
    for (int y = 0; y < b.Height(); ++y)
        for (int x = 0; x < b.Width(); ++x)
            b.Row<RGBQuad>(y)[x] = q;
}

// Per pixel: is the pixel centre inside the ellipse inscribed in (0, 0, w, h)? Doubled
// coordinates keep it exact: centre (2x + 1, 2y + 1), ellipse centre (w, h), semi-axes w and h.
bool NaiveInEllipse(int x, int y, int w, int h) {
    const std::int64_t u = 2LL * x + 1 - w, v = 2LL * y + 1 - h;
    const std::int64_t W = w, H = h;
    return u * u * H * H + v * v * W * W <= W * W * H * H;
}

// Per pixel winding number of the polygon around the pixel centre, by the classic crossing test
// with a ray to the right.
int NaiveWinding(int x, int y, const std::vector<Point>& v) {
    const std::int64_t cx = 2LL * x + 1, cy = 2LL * y + 1;
    int wn = 0;
    for (std::size_t i = 0; i < v.size(); ++i) {
        const std::int64_t ax = 2LL * v[i].x, ay = 2LL * v[i].y;
        const std::int64_t bx = 2LL * v[(i + 1) % v.size()].x, by = 2LL * v[(i + 1) % v.size()].y;
        const std::int64_t isLeft = (bx - ax) * (cy - ay) - (cx - ax) * (by - ay);
        if (ay <= cy) {
            if (by > cy && isLeft > 0)
                ++wn;
        } else if (by <= cy && isLeft < 0) {
            --wn;
        }
    }
    return wn;
}

void ExpectMatches(const CImageBitmap& b, auto inside, const char* what) {
    int mismatches = 0;
    for (int y = 0; y < b.Height(); ++y)
        for (int x = 0; x < b.Width(); ++x) {
            const RGBQuad expected = inside(x, y) ? kKeep : kFill;
            if (b.Row<RGBQuad>(y)[x] != expected && ++mismatches <= 5)
                ADD_FAILURE() << what << ": pixel " << x << "," << y << " of " << b.Width() << "x"
                              << b.Height();
        }
    EXPECT_EQ(mismatches, 0) << what;
}

} // namespace

TEST(FillOutsideEllipse, MatchesPerPixelReferenceForManySizes) {
    const int sizes[] = {1, 2, 3, 4, 5, 7, 8, 16, 17, 31, 64, 99, 255};
    for (int w : sizes)
        for (int h : sizes) {
            CMemoryBitmap b;
            b.Create(w, h, 32);
            Paint(b, kKeep);
            ASSERT_TRUE(capture::FillOutsideEllipse(b, kFill));
            ExpectMatches(
                b, [&](int x, int y) { return NaiveInEllipse(x, y, w, h); }, "ellipse");
        }
}

TEST(FillOutsideEllipse, FourByFourCircleLosesOnlyItsCorners) {
    CDibBitmap b; // bottom-up rows: the fill must follow Line(y), not memory order
    b.Create(4, 4, 32);
    Paint(b, kKeep);
    ASSERT_TRUE(capture::FillOutsideEllipse(b, kFill));
    const char* expected[] = {".##.", "####", "####", ".##."};
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 4; ++x)
            EXPECT_EQ(b.Row<RGBQuad>(y)[x], expected[y][x] == '#' ? kKeep : kFill) << x << "," << y;
}

TEST(FillOutsideEllipse, LargeBitmapStaysExact) {
    CMemoryBitmap b;
    b.Create(3001, 1999, 32);
    Paint(b, kKeep);
    ASSERT_TRUE(capture::FillOutsideEllipse(b, kFill));
    ExpectMatches(
        b, [&](int x, int y) { return NaiveInEllipse(x, y, 3001, 1999); }, "large ellipse");
}

TEST(FillOutsidePolygon, AxisAlignedRectangleCoversExactlyItsPixels) {
    CMemoryBitmap b;
    b.Create(20, 12, 32);
    Paint(b, kKeep);
    const std::vector<Point> rect{{3, 2}, {15, 2}, {15, 9}, {3, 9}};
    ASSERT_TRUE(capture::FillOutsidePolygon(b, rect, FillRule::Winding, kFill));
    ExpectMatches(
        b, [](int x, int y) { return x >= 3 && x < 15 && y >= 2 && y < 9; }, "rect");
}

TEST(FillOutsidePolygon, RandomPolygonsMatchPerPixelWindingAndParity) {
    std::mt19937 rng(7);
    for (int round = 0; round < 300; ++round) {
        const int w = 1 + int(rng() % 48), h = 1 + int(rng() % 48);
        const int n = 3 + int(rng() % 34);
        std::vector<Point> v(std::size_t(n), Point{});
        for (Point& p : v) // vertices reach past every edge of the bitmap
            p = {int(rng() % unsigned(w + 20)) - 10, int(rng() % unsigned(h + 20)) - 10};
        for (FillRule rule : {FillRule::Winding, FillRule::Alternate}) {
            CMemoryBitmap b;
            b.Create(w, h, 32);
            Paint(b, kKeep);
            ASSERT_TRUE(capture::FillOutsidePolygon(b, v, rule, kFill));
            ExpectMatches(
                b,
                [&](int x, int y) {
                    const int wn = NaiveWinding(x, y, v);
                    return rule == FillRule::Winding ? wn != 0 : (wn & 1) != 0;
                },
                rule == FillRule::Winding ? "winding" : "alternate");
        }
    }
}

TEST(FillOutsidePolygon, StarCentreIsInsideByWindingButNotByParity) {
    const std::vector<Point> star{{50, 0}, {79, 90}, {2, 35}, {98, 35}, {21, 90}};
    CMemoryBitmap winding, alternate;
    for (auto* b : {&winding, &alternate}) {
        b->Create(100, 100, 32);
        Paint(*b, kKeep);
    }
    capture::FillOutsidePolygon(winding, star, FillRule::Winding, kFill);
    capture::FillOutsidePolygon(alternate, star, FillRule::Alternate, kFill);
    EXPECT_EQ(winding.Row<RGBQuad>(50)[50], kKeep);
    EXPECT_EQ(alternate.Row<RGBQuad>(50)[50], kFill);
    EXPECT_EQ(winding.Row<RGBQuad>(5)[50], alternate.Row<RGBQuad>(5)[50]); // a point of the star
}

TEST(ApplyRegionShape, PointCountChoosesTheShape) {
    auto make = [] {
        auto b = std::make_unique<CMemoryBitmap>();
        b->Create(30, 20, 32);
        Paint(*b, kKeep);
        return b;
    };
    const std::vector<Point> tri{{0, 20}, {30, 20}, {15, 0}};

    auto whole = make();
    ASSERT_TRUE(capture::ApplyRegionShape(*whole, 0, {}, kFill));
    ExpectMatches(
        *whole, [](int, int) { return true; }, "0 points");

    auto nothing = make();
    ASSERT_TRUE(capture::ApplyRegionShape(*nothing, 1, tri, kFill));
    ExpectMatches(
        *nothing, [](int, int) { return false; }, "1 point");

    auto ellipse = make();
    ASSERT_TRUE(capture::ApplyRegionShape(*ellipse, 2, tri, kFill));
    ExpectMatches(
        *ellipse, [](int x, int y) { return NaiveInEllipse(x, y, 30, 20); }, "2 points");

    auto triangle = make();
    ASSERT_TRUE(capture::ApplyRegionShape(*triangle, 3, tri, kFill));
    ExpectMatches(
        *triangle, [&](int x, int y) { return NaiveWinding(x, y, tri) != 0; }, "3 points");

    auto short_ = make(); // a count the vertices cannot back keeps nothing rather than reading past
    ASSERT_TRUE(capture::ApplyRegionShape(*short_, 5, tri, kFill));
    ExpectMatches(
        *short_, [](int, int) { return false; }, "5 points, 3 given");
}

TEST(ApplyRegionShape, RefusesOtherDepthsAndLeavesThemAlone) {
    CMemoryBitmap b;
    b.Create(8, 8, 8);
    for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 8; ++x)
            b.Line(y)[x] = 77;
    EXPECT_FALSE(capture::ApplyRegionShape(b, 2, {}, kFill));
    EXPECT_FALSE(capture::FillOutsideEllipse(b, kFill));
    for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 8; ++x)
            EXPECT_EQ(b.Line(y)[x], 77);
}
