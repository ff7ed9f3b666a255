// SPDX-License-Identifier: MIT
// Operations that change a bitmap where it lies, and the vector forms of the pixel layout
// conversions: each must give exactly what its plain form gives.
#include "FilterTestSupport.h"

#include "image/Avx2Kernels.h"
#include "image/DibSectionBitmap.h"
#include "image/FlipHorizontalFilter.h"
#include "image/FlipVerticalFilter.h"
#include "image/InvertFilter.h"

#include <memory>

namespace {

using filtertest::FillRandom;
using filtertest::SamePixels;

// Odd and even sizes, top-down and bottom-up storage, with and without the alpha flag.
template <class Bitmap> void ExpectInPlaceMatchesCopy(CImageFilter& filter) {
    for (const auto& [width, height] : {std::pair{1, 1}, {7, 5}, {64, 4}, {33, 18}}) {
        for (const bool alpha : {false, true}) {
            Bitmap image;
            FillRandom(image, width, height, 32, unsigned(width * height), alpha);
            CMemoryBitmap expected;
            filter.Apply(image, expected);
            filter.ApplyInPlace(image);
            EXPECT_TRUE(SamePixels(image, expected)) << width << "x" << height;
            EXPECT_EQ(image.HasAlpha(), expected.HasAlpha());
        }
    }
}

TEST(InPlaceFilters, InvertAndFlipsGiveWhatTheirCopiesGive) {
    CInvertFilter invert;
    CFlipHorizontalFilter mirror;
    CFlipVerticalFilter flip;
    for (CImageFilter* filter : std::initializer_list<CImageFilter*>{&invert, &mirror, &flip}) {
        ExpectInPlaceMatchesCopy<CMemoryBitmap>(*filter);
        ExpectInPlaceMatchesCopy<CDibSectionBitmap>(*filter);
    }
}

#if defined(IMG_HAVE_AVX2_KERNELS)
TEST(LayoutKernels, VectorTriplesAndQuadsMatchThePlainLoopsAtEveryLength) {
    if (!img::avx2::Available())
        GTEST_SKIP() << "no AVX2 on this processor";
    std::mt19937 rng(7);
    std::vector<std::uint8_t> triples(3 * 70), quads(4 * 70);
    for (auto& b : triples)
        b = std::uint8_t(rng());
    for (auto& b : quads)
        b = std::uint8_t(rng());
    for (std::size_t count = 0; count <= 70; ++count) {
        std::vector<std::uint8_t> spread(4 * count + 4, 0xAB), packed(3 * count + 3, 0xAB);
        img::avx2::BgrToBgra(triples.data(), count, spread.data());
        img::avx2::BgraToBgr(quads.data(), count, packed.data());
        for (std::size_t i = 0; i < count; ++i) {
            for (std::size_t c = 0; c < 3; ++c) {
                ASSERT_EQ(spread[4 * i + c], triples[3 * i + c]) << count << " " << i;
                ASSERT_EQ(packed[3 * i + c], quads[4 * i + c]) << count << " " << i;
            }
            ASSERT_EQ(spread[4 * i + 3], 255);
        }
        EXPECT_EQ(spread[4 * count], 0xAB) << "wrote past the end at " << count;
        EXPECT_EQ(packed[3 * count], 0xAB) << "wrote past the end at " << count;
    }
}
#endif

} // namespace
