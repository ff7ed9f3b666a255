// SPDX-License-Identifier: MIT
// Rotation, flips and crop over the depths, against plain references written from the rules.
#include "FilterTestSupport.h"

#include "image/CropFilter.h"
#include "image/DibBitmap.h"
#include "image/DisplayBitmap.h"
#include "image/FlipHorizontalFilter.h"
#include "image/FlipVerticalFilter.h"
#include "image/RotateFilter.h"

#include <bit>
#include <cmath>
#include <random>
#include <set>

using namespace filtertest;

namespace {

int Nearest(double v) {
    return int(std::floor(v + 0.5));
}

// The rotation exactly as the rules give it, one pixel at a time.
void RefRotate(const CImageBitmap& src, CImageBitmap& dst, double theta, std::uint32_t background) {
    const double c = std::cos(-theta), s = std::sin(-theta);
    const int W = src.Width(), H = src.Height();
    int minX = 0, maxX = 0, minY = 0, maxY = 0;
    const int corners[4][2] = {{0, 0}, {W - 1, 0}, {0, H - 1}, {W - 1, H - 1}};
    for (const auto& p : corners) {
        const int x = Nearest(c * p[0] - s * p[1]);
        const int y = Nearest(s * p[0] + c * p[1]);
        minX = std::min(minX, x), maxX = std::max(maxX, x);
        minY = std::min(minY, y), maxY = std::max(maxY, y);
    }
    dst.Create(maxX - minX + 1, maxY - minY + 1, src.Depth(), src.HasAlpha());
    for (int i = 0; i <= maxY - minY; ++i)
        for (int k = 0; k <= maxX - minX; ++k) {
            const int X = minX + k, Y = minY + i;
            const int sx = Nearest(c * X + s * Y);
            const int sy = Nearest(c * Y - s * X);
            const bool inside = sx >= 0 && sx < W && sy >= 0 && sy < H;
            Set(dst, k, i, inside ? Get(src, sx, sy) : background);
        }
}

constexpr double kDegree = 0.01745329255555556;

template <class D> class RotateDepthTest : public ::testing::Test {};
TYPED_TEST_SUITE(RotateDepthTest, AllDepths);

TYPED_TEST(RotateDepthTest, EveryAngleMatchesThePlainRule) {
    constexpr int depth = TypeParam::value;
    const RGBQuad background{10, 20, 30, 255};
    for (auto [w, h] : {std::pair{1, 1}, std::pair{7, 3}, std::pair{1, 9}, std::pair{33, 20},
                        std::pair{64, 64}}) {
        CDibBitmap source; // bottom-up rows with padding
        FillRandom(source, w, h, depth, unsigned(w * 100 + h));
        const std::uint32_t bg =
            depth <= 8 ? 0u : std::bit_cast<std::uint32_t>(background) & MaxValue(depth);
        for (double theta :
             {0.0, 1.57079633, -1.57079633, 3.14159265358979, -3.14159265358979, 4.71238898,
              90 * kDegree, 180 * kDegree, 270 * kDegree, -90 * kDegree, 360 * kDegree,
              45 * kDegree, 30 * kDegree, kDegree, -123.4, 359 * kDegree, 1e-7, 1.5707}) {
            CRotateFilter filter(theta, background);
            CMemoryBitmap result, expected;
            filter.Apply(source, result);
            // Below 24 bpp the background is the palette entry nearest to the colour; make the
            // reference use the same one by checking it separately.
            std::uint32_t refBackground = bg;
            if (depth <= 8) {
                int best = 0, bestDistance = 1 << 30;
                for (int i = 0; i < source.PaletteSize(); ++i) {
                    const RGBQuad p = source.Palette()[i];
                    const int d =
                        std::abs(p.red - 30) + std::abs(p.green - 20) + std::abs(p.blue - 10);
                    if (d < bestDistance)
                        best = i, bestDistance = d;
                }
                refBackground = std::uint32_t(best);
            }
            RefRotate(source, expected, theta, refBackground);
            ASSERT_TRUE(SamePixels(result, expected)) << w << "x" << h << " angle " << theta;
            ASSERT_TRUE(std::equal(source.PaletteSpan().begin(), source.PaletteSpan().end(),
                                   result.PaletteSpan().begin()));
        }
    }
}

TYPED_TEST(RotateDepthTest, FourQuarterTurnsGiveBackTheImage) {
    constexpr int depth = TypeParam::value;
    CDisplayBitmap image;
    FillRandom(image, 13, 6, depth, 3);
    CMemoryBitmap original;
    original.CreateCopy(image);
    for (double turn :
         {CRotateFilter::kQuarterTurnCounterClockwise, CRotateFilter::kQuarterTurnClockwise}) {
        for (int i = 0; i < 4; ++i) {
            CRotateFilter(turn, RGBQuad{}).ApplyInPlace(image);
            EXPECT_EQ(image.Width(), i % 2 ? 13 : 6);
        }
        EXPECT_TRUE(SamePixels(image, original));
    }
    CRotateFilter(CRotateFilter::kQuarterTurnCounterClockwise, RGBQuad{}).ApplyInPlace(image);
    CRotateFilter(CRotateFilter::kQuarterTurnClockwise, RGBQuad{}).ApplyInPlace(image);
    EXPECT_TRUE(SamePixels(image, original));
}

TEST(Rotate, CounterClockwisePutsTheTopRightPixelTopLeftAndUsesEveryPixelOnce) {
    CMemoryBitmap source;
    source.Create(5, 3, 32);
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 5; ++x)
            Set(source, x, y, std::uint32_t(y * 5 + x));
    CMemoryBitmap ccw, cw;
    CRotateFilter(CRotateFilter::kQuarterTurnCounterClockwise, RGBQuad{}).Apply(source, ccw);
    CRotateFilter(CRotateFilter::kQuarterTurnClockwise, RGBQuad{}).Apply(source, cw);
    for (const CMemoryBitmap* r : {&ccw, &cw}) {
        ASSERT_EQ(r->Width(), 3);
        ASSERT_EQ(r->Height(), 5);
        std::set<std::uint32_t> seen;
        for (int y = 0; y < 5; ++y)
            for (int x = 0; x < 3; ++x)
                seen.insert(Get(*r, x, y));
        EXPECT_EQ(seen.size(), 15u);
    }
    EXPECT_EQ(Get(ccw, 0, 0), 4u); // source (4, 0)
    EXPECT_EQ(Get(cw, 0, 0), 10u); // source (0, 2)
    EXPECT_EQ(Get(cw, 2, 0), 0u);
}

TEST(Rotate, FortyFiveDegreesOfHundredSquareIs141WithBackgroundCorners) {
    CMemoryBitmap source;
    source.Create(100, 100, 32);
    for (int y = 0; y < 100; ++y)
        for (int x = 0; x < 100; ++x)
            Set(source, x, y, 0x01000000u);
    CMemoryBitmap result;
    CRotateFilter(45 * kDegree, RGBQuad{1, 2, 3, 255}).Apply(source, result);
    EXPECT_EQ(result.Width(), 141);
    EXPECT_EQ(result.Height(), 141);
    EXPECT_EQ(Get(result, 0, 0), 0xFF030201u);
    EXPECT_EQ(Get(result, 140, 140), 0xFF030201u);
    EXPECT_EQ(Get(result, 70, 70), 0x01000000u);
}

TEST(Rotate, ProgressPerRowSkipsASingleRow) {
    CMemoryBitmap source;
    FillRandom(source, 4, 3, 32, 2);
    CProgressRecorder progress;
    CMemoryBitmap result;
    CRotateFilter(CRotateFilter::kQuarterTurnClockwise, RGBQuad{}, &progress).Apply(source, result);
    // Destination 3 x 4: N = maxY - minY = 3.
    const std::vector<double> expected{0.01, 0.01, 0.01 + 0.99 / 3, 0.01 + 0.99 * 2 / 3, 1.0, 1.0};
    ASSERT_EQ(progress.values.size(), expected.size());
    for (std::size_t i = 0; i < expected.size(); ++i)
        EXPECT_DOUBLE_EQ(progress.values[i], expected[i]);

    FillRandom(source, 4, 1, 32, 2);
    progress.values.clear();
    CRotateFilter(0.0, RGBQuad{}, &progress).Apply(source, result);
    EXPECT_EQ(progress.values, (std::vector<double>{0.01, 1.0}));
}

TEST(Rotate, LargeImagesMatchThePlainRuleAtOddAngles) {
    CMemoryBitmap source;
    FillRandom(source, 1500, 900, 32, 12);
    for (double degrees : {33.0, -71.0, 179.0, 0.3}) {
        CMemoryBitmap result, expected;
        CRotateFilter(degrees * kDegree, RGBQuad{9, 9, 9, 255}).Apply(source, result);
        RefRotate(source, expected, degrees * kDegree, 0xFF090909u);
        EXPECT_TRUE(SamePixels(result, expected)) << degrees;
    }
}

// The fast path finds, per destination row, the run of pixels whose samples are inside and
// computes their offsets in vectors and tiles; every pixel, the run ends above all, must still be
// the plain rule's. Sizes cross the tile sizes; angles include random ones, ones whose cosine or
// sine is a half (samples land on .5 exactly), and ones a hair off the quarter turns.
TEST(Rotate, ManyAnglesAndSizesMatchThePlainRuleAtEveryPixel) {
    std::vector<double> angles;
    for (int degrees = -360; degrees <= 360; degrees += 15)
        angles.push_back(degrees * kDegree);
    for (double near : {1.57079633, -1.57079633, 3.14159265358979, 0.0})
        for (double off : {1e-9, -1e-9, 1e-6, -1e-6, 1e-3})
            angles.push_back(near + off);
    std::mt19937 rng(77);
    std::uniform_real_distribution<double> anyAngle(-7.0, 7.0);
    for (int i = 0; i < 60; ++i)
        angles.push_back(anyAngle(rng));

    for (auto [w, h] :
         {std::pair{1, 1}, std::pair{2, 150}, std::pair{150, 2}, std::pair{131, 257}}) {
        CMemoryBitmap topDown;
        FillRandom(topDown, w, h, 32, unsigned(w * 1000 + h));
        CDibBitmap bottomUp;
        bottomUp.CreateCopy(topDown);
        for (double theta : angles) {
            CMemoryBitmap expected;
            RefRotate(topDown, expected, theta, 0xFF0A141Eu);
            for (const CImageBitmap* source : {static_cast<const CImageBitmap*>(&topDown),
                                               static_cast<const CImageBitmap*>(&bottomUp)}) {
                CMemoryBitmap result;
                CRotateFilter(theta, RGBQuad{30, 20, 10, 255}).Apply(*source, result);
                ASSERT_TRUE(SamePixels(result, expected)) << w << "x" << h << " angle " << theta;
            }
        }
    }
    // 24 and 8 bpp take the same runs with other pixel sizes.
    for (int depth : {24, 8}) {
        CMemoryBitmap source;
        FillRandom(source, 140, 135, depth, 5);
        for (double degrees : {7.0, 60.0, -100.0, 213.0}) {
            CMemoryBitmap result, expected;
            CRotateFilter(degrees * kDegree, RGBQuad{}).Apply(source, result);
            // Black's nearest palette entry: the smallest sum of the three channels, the first
            // wins.
            std::uint32_t background = 0;
            if (depth == 8) {
                int best = 1 << 30;
                for (int i = 0; i < source.PaletteSize(); ++i) {
                    const RGBQuad p = source.Palette()[i];
                    if (p.red + p.green + p.blue < best)
                        best = p.red + p.green + p.blue, background = std::uint32_t(i);
                }
            }
            RefRotate(source, expected, degrees * kDegree, background);
            ASSERT_TRUE(SamePixels(result, expected)) << depth << " bpp, " << degrees << " degrees";
        }
    }
}

TEST(Rotate, NonFiniteAngleLeavesThePicture) {
    CMemoryBitmap source, result;
    FillRandom(source, 6, 4, 32, 8);
    CRotateFilter(std::nan(""), RGBQuad{}).Apply(source, result);
    EXPECT_TRUE(SamePixels(source, result));
}

template <class D> class FlipDepthTest : public ::testing::Test {};
TYPED_TEST_SUITE(FlipDepthTest, AllDepths);

TYPED_TEST(FlipDepthTest, MirrorsAt32BppThroughThePaletteAndTwiceIsIdentity) {
    constexpr int depth = TypeParam::value;
    for (auto [w, h] : {std::pair{1, 1}, std::pair{9, 4}, std::pair{17, 1}}) {
        CDibBitmap source;
        FillRandom(source, w, h, depth, 5, depth == 32);
        CMemoryBitmap horizontal, vertical;
        CFlipHorizontalFilter().Apply(source, horizontal);
        CFlipVerticalFilter().Apply(source, vertical);
        for (const CMemoryBitmap* r : {&horizontal, &vertical}) {
            ASSERT_EQ(r->Depth(), 32);
            EXPECT_FALSE(r->HasAlpha());
        }
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x) {
                const RGBQuad c = ColourAt(source, x, y);
                const std::uint32_t word = depth == 24 ? std::bit_cast<std::uint32_t>(c) & 0xFFFFFFu
                                                       : std::bit_cast<std::uint32_t>(c);
                EXPECT_EQ(Get(horizontal, w - 1 - x, y) & (depth == 24 ? 0xFFFFFFu : ~0u), word);
                EXPECT_EQ(Get(vertical, x, h - 1 - y) & (depth == 24 ? 0xFFFFFFu : ~0u), word);
            }
        CMemoryBitmap twice;
        CFlipHorizontalFilter().Apply(horizontal, twice);
        CFlipHorizontalFilter().ApplyInPlace(twice);
        EXPECT_TRUE(SamePixels(twice, horizontal));
    }
}

TEST(Flip, OneByOneIsUnchangedAndProgressFollowsTheRows) {
    CMemoryBitmap source, result;
    FillRandom(source, 1, 1, 32, 1);
    CFlipHorizontalFilter().Apply(source, result);
    EXPECT_TRUE(SamePixels(source, result));
    CFlipVerticalFilter().Apply(source, result);
    EXPECT_TRUE(SamePixels(source, result));

    FillRandom(source, 3, 2, 32, 1);
    CProgressRecorder progress;
    CFlipHorizontalFilter(&progress).Apply(source, result);
    EXPECT_EQ(progress.values, (std::vector<double>{0.04, 0.04, 0.04 + 0.96 / 2, 1.0}));
    progress.values.clear();
    CFlipVerticalFilter(&progress).Apply(source, result);
    EXPECT_EQ(progress.values, (std::vector<double>{0.05, 0.05, 0.05 + 0.95 / 2, 1.0}));
}

template <class D> class CropDepthTest : public ::testing::Test {};
TYPED_TEST_SUITE(CropDepthTest, AllDepths);

TYPED_TEST(CropDepthTest, CopiesTheRectangleWithPaletteAndAlpha) {
    constexpr int depth = TypeParam::value;
    CDisplayBitmap source;
    FillRandom(source, 21, 9, depth, 6, depth == 32);
    const ImageRect rects[] = {
        {0, 0, 21, 9}, {20, 8, 21, 9}, {3, 1, 14, 7}, {0, 4, 1, 9}, {7, 0, 21, 2}};
    for (const ImageRect& r : rects) {
        CMemoryBitmap result;
        CCropFilter(r.left, r.right, r.top, r.bottom).Apply(source, result);
        ASSERT_EQ(result.Width(), r.Width());
        ASSERT_EQ(result.Height(), r.Height());
        ASSERT_EQ(result.Depth(), depth);
        EXPECT_EQ(result.HasAlpha(), depth == 32);
        for (int y = 0; y < r.Height(); ++y)
            for (int x = 0; x < r.Width(); ++x)
                ASSERT_EQ(Get(result, x, y), Get(source, r.left + x, r.top + y));
        EXPECT_TRUE(std::equal(source.PaletteSpan().begin(), source.PaletteSpan().end(),
                               result.PaletteSpan().begin()));
    }
}

TEST(Crop, SwappedCoordinatesAreOrderedAndOutsideIsCutAway) {
    CMemoryBitmap source;
    FillRandom(source, 10, 10, 8, 6);
    CMemoryBitmap result;
    CCropFilter(8, 2, 9, 3).Apply(source, result); // right < left, bottom < top
    EXPECT_EQ(result.Width(), 6);
    EXPECT_EQ(result.Height(), 6);
    EXPECT_EQ(Get(result, 0, 0), Get(source, 2, 3));
    CCropFilter(-5, 4, 7, 30).Apply(source, result);
    EXPECT_EQ(result.Width(), 4);
    EXPECT_EQ(result.Height(), 3);
    EXPECT_EQ(Get(result, 3, 2), Get(source, 3, 9));
}

TEST(Crop, ProgressFollowsTheRows) {
    CMemoryBitmap source, result;
    FillRandom(source, 10, 10, 32, 6);
    CProgressRecorder progress;
    CCropFilter(1, 3, 2, 4, &progress).Apply(source, result);
    EXPECT_EQ(progress.values, (std::vector<double>{0.01, 0.01, 0.01 + 0.99 / 2, 1.0}));
}

} // namespace
