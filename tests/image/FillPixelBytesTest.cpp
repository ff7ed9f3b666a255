// SPDX-License-Identifier: MIT
// A new image's fill: every pixel of every row, none of the row padding.
#include "image/DibBitmap.h"
#include "image/PixelKernels.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace {

class FillPixelBytesTest : public ::testing::TestWithParam<int> {};

TEST_P(FillPixelBytesTest, EveryPixelIsWhiteAndThePaddingStays) {
    const int nDepth = GetParam();
    for (int nWidth : {1, 3, 5, 17}) {
        CDibBitmap bitmap; // rows padded to 4 bytes
        bitmap.Create(nWidth, 4, nDepth);
        const std::size_t cbRow = bitmap.BytesPerLine();
        const std::size_t cbPixels = std::size_t(nWidth) * std::size_t(nDepth) / 8;
        for (int y = 0; y < bitmap.Height(); ++y)
            std::fill_n(bitmap.Line(y), cbRow, std::uint8_t(0x5A));
        img::FillPixelBytes(bitmap, 0xFF);
        for (int y = 0; y < bitmap.Height(); ++y) {
            for (std::size_t i = 0; i < cbRow; ++i)
                ASSERT_EQ(bitmap.Line(y)[i], i < cbPixels ? 0xFF : 0x5A)
                    << nWidth << " px, row " << y << ", byte " << i;
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Depths, FillPixelBytesTest, ::testing::Values(8, 24, 32));

} // namespace
