// SPDX-License-Identifier: MIT
// Region copy or move and paste, against plain references written from the rules.
#include "FilterTestSupport.h"

#include "image/DibSectionBitmap.h"
#include "image/DisplayBitmap.h"
#include "image/PasteFilter.h"
#include "image/RegionCopyFilter.h"

#include <bit>

using namespace filtertest;

namespace {

int NearestIndex(const CImageBitmap& b, RGBQuad c) {
    int best = 0, bestDistance = 1 << 30;
    for (int i = 0; i < b.PaletteSize(); ++i) {
        const RGBQuad p = b.Palette()[i];
        const int d =
            std::abs(p.red - c.red) + std::abs(p.green - c.green) + std::abs(p.blue - c.blue);
        if (d < bestDistance)
            best = i, bestDistance = d;
    }
    return best;
}

// Fill the vacated rectangle (a move), then copy the block from the untouched original.
void RefRegionCopy(const CImageBitmap& src, CImageBitmap& dst, ImageRect a, ImageRect s,
                   ImageRect d, int copy, std::uint32_t colorRef) {
    dst.CreateCopy(src);
    if (copy == 0) {
        const RGBQuad q{std::uint8_t(colorRef >> 16), std::uint8_t(colorRef >> 8),
                        std::uint8_t(colorRef), 0};
        const std::uint32_t fill = src.Depth() <= 8
                                       ? std::uint32_t(NearestIndex(src, q))
                                       : std::bit_cast<std::uint32_t>(q) & MaxValue(src.Depth());
        for (int y = a.top; y < a.bottom; ++y)
            for (int x = a.left; x < a.right; ++x)
                Set(dst, x, y, fill);
    }
    const int w = std::min(d.Width(), a.Width()), h = std::min(d.Height(), a.Height());
    for (int i = 0; i < h; ++i)
        for (int j = 0; j < w; ++j)
            Set(dst, d.left + j, d.top + i, Get(src, s.left + j, s.top + i));
}

template <class D> class RegionCopyDepthTest : public ::testing::Test {};
TYPED_TEST_SUITE(RegionCopyDepthTest, AllDepths);

TYPED_TEST(RegionCopyDepthTest, OverlappingMovesReadTheImageAsItWas) {
    constexpr int depth = TypeParam::value;
    CDisplayBitmap image;
    FillRandom(image, 40, 30, depth, 21);
    struct Case {
        ImageRect a, s, d;
        int copy;
    };
    const Case cases[] = {
        {{5, 5, 20, 15}, {5, 5, 20, 15}, {9, 8, 24, 18}, 0},  // move down-right onto itself
        {{9, 8, 24, 18}, {9, 8, 24, 18}, {3, 2, 18, 12}, 0},  // move up-left onto itself
        {{0, 0, 13, 30}, {0, 0, 13, 30}, {27, 0, 40, 30}, 1}, // copy, no overlap
        {{10, 10, 20, 20}, {10, 10, 20, 20}, {12, 10, 22, 20}, 1},
        {{2, 3, 9, 7}, {}, {}, 0}, // cut: fill only
        {{20, 20, 10, 10},
         {20, 20, 10, 10},
         {25, 18, 15, 8},
         0}, // corners given the other way round
    };
    for (const Case& c : cases) {
        CMemoryBitmap result, expected;
        CRegionCopyFilter(c.a, c.s, c.d, c.copy, 0x00336699).Apply(image, result);
        RefRegionCopy(image, expected, c.a.Normalized(), c.s.Normalized(), c.d.Normalized(), c.copy,
                      0x00336699);
        ASSERT_TRUE(SamePixels(result, expected)) << c.a.left << "," << c.d.left;
        EXPECT_TRUE(std::equal(image.PaletteSpan().begin(), image.PaletteSpan().end(),
                               result.PaletteSpan().begin()));
    }
}

TEST(RegionCopy, FillUsesTheColourRefWithFourthByteZeroAndTheFirstNearestEntry) {
    CMemoryBitmap image;
    image.Create(4, 1, 32);
    for (int x = 0; x < 4; ++x)
        Set(image, x, 0, 0xFFFFFFFFu);
    CRegionCopyFilter({1, 0, 3, 1}, {}, {}, 0, 0x00112233).ApplyInPlace(image);
    EXPECT_EQ(Get(image, 0, 0), 0xFFFFFFFFu);
    EXPECT_EQ(Get(image, 1, 0), 0x00332211u); // blue 0x11, green 0x22, red 0x33 in memory order
    EXPECT_EQ(Get(image, 3, 0), 0xFFFFFFFFu);

    CMemoryBitmap paletted;
    paletted.Create(3, 1, 8);
    for (auto& e : paletted.PaletteSpan())
        e = RGBQuad{200, 200, 200, 255};
    paletted.Palette()[7] = RGBQuad{10, 10, 12, 0}; // distance 4 from (10, 10, 10)...
    paletted.Palette()[9] = RGBQuad{12, 10, 10, 0}; // ...and so is this one: the first wins
    CRegionCopyFilter({0, 0, 2, 1}, {}, {}, 0, 0x000A0A0A).ApplyInPlace(paletted);
    EXPECT_EQ(Get(paletted, 0, 0), 7u);
}

TEST(RegionCopy, BlocksReachingOutsideTheImageAreCut) {
    CMemoryBitmap image;
    FillRandom(image, 10, 10, 32, 4);
    CMemoryBitmap result;
    CRegionCopyFilter({6, 6, 14, 14}, {6, 6, 14, 14}, {-3, -2, 5, 6}, 1, 0).Apply(image, result);
    for (int y = 0; y < 6; ++y)
        for (int x = 0; x < 5; ++x)
            ASSERT_EQ(Get(result, x, y), (x + 3 < 8 && y + 2 < 8 && x + 9 < 10 && y + 8 < 10)
                                             ? Get(image, x + 9, y + 8)
                                             : Get(image, x, y))
                << x << "," << y;
}

TEST(RegionCopy, ProgressOfFillThenCopy) {
    CMemoryBitmap image, result;
    FillRandom(image, 10, 10, 32, 4);
    CProgressRecorder progress;
    CRegionCopyFilter({0, 0, 4, 2}, {0, 0, 4, 2}, {5, 5, 9, 9}, 0, 0, &progress)
        .Apply(image, result);
    EXPECT_EQ(progress.values, (std::vector<double>{0.01, 0.0, 0.25, 0.5, 0.75, 1.0}));
    progress.values.clear();
    CRegionCopyFilter({0, 0, 4, 2}, {0, 0, 4, 2}, {5, 5, 9, 9}, 1, 0, &progress)
        .Apply(image, result);
    EXPECT_EQ(progress.values, (std::vector<double>{0.01, 0.0, 0.5, 1.0}));
}

TEST(Paste, CopiesTheRunIntoRowsInsideTheImage) {
    CDisplayBitmap image;
    FillRandom(image, 20, 10, 32, 1);
    CMemoryBitmap pasted;
    FillRandom(pasted, 8, 8, 32, 2);
    const ImageRect s{1, 2, 7, 8}, d{15, 6, 22, 12}; // 6 rows, the last two fall off the image
    CPasteFilter filter(pasted, s, d);
    FillRandom(pasted, 8, 8, 32, 3); // the filter keeps its own copy
    CMemoryBitmap result;
    filter.Apply(image, result);
    FillRandom(pasted, 8, 8, 32, 2);
    for (int y = 0; y < 10; ++y)
        for (int x = 0; x < 20; ++x) {
            const bool inRun = y >= 6 && x >= 15 && x < 15 + 5; // min(6, 7) pixels, cut at the edge
            ASSERT_EQ(Get(result, x, y),
                      inRun ? Get(pasted, 1 + x - 15, 2 + y - 6) : Get(image, x, y))
                << x << "," << y;
        }
}

TEST(Paste, PalettesAndDepthsMeetThroughColours) {
    CMemoryBitmap image8;
    FillRandom(image8, 6, 6, 8, 4);
    CMemoryBitmap samePalette;
    FillRandom(samePalette, 3, 3, 8, 5);
    std::copy(image8.PaletteSpan().begin(), image8.PaletteSpan().end(),
              samePalette.PaletteSpan().begin());
    CMemoryBitmap result;
    CPasteFilter(samePalette, {0, 0, 3, 3}, {1, 1, 4, 4}).Apply(image8, result);
    EXPECT_EQ(Get(result, 1, 1), Get(samePalette, 0, 0)) << "same palette: indices as they are";

    CMemoryBitmap truecolour;
    FillRandom(truecolour, 3, 3, 32, 6);
    CPasteFilter(truecolour, {0, 0, 3, 3}, {1, 1, 4, 4}).Apply(image8, result);
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 3; ++x)
            EXPECT_EQ(Get(result, 1 + x, 1 + y),
                      std::uint32_t(NearestIndex(image8, ColourAt(truecolour, x, y))));

    CMemoryBitmap image32;
    FillRandom(image32, 6, 6, 32, 7);
    CPasteFilter(samePalette, {0, 0, 3, 3}, {2, 2, 5, 5}).Apply(image32, result);
    EXPECT_EQ(Get(result, 2, 2), std::bit_cast<std::uint32_t>(ColourAt(samePalette, 0, 0)));
}

TEST(Paste, ProgressCountsRowsDone) {
    CMemoryBitmap image, pasted, result;
    FillRandom(image, 6, 6, 32, 4);
    FillRandom(pasted, 6, 6, 32, 5);
    CProgressRecorder progress;
    CPasteFilter(pasted, {0, 0, 2, 4}, {0, 0, 2, 4}, &progress).Apply(image, result);
    EXPECT_EQ(progress.values, (std::vector<double>{0.08, 0.08 + 0.92 / 4, 0.08 + 0.92 * 2 / 4,
                                                    0.08 + 0.92 * 3 / 4, 0.08 + 0.92, 1.0}));
}

} // namespace
