// SPDX-License-Identifier: MIT
// Row kernels shared by the readers.
#include "codecs/PixelRows.h"

#include "image/Avx2Kernels.h"
#include "image/ImageBitmap.h"

#include <algorithm>
#include <cstring>

namespace codec {

namespace {

template <int Bits>
void UnpackRow(const std::uint8_t* IMG_RESTRICT src, int width,
               std::uint8_t* IMG_RESTRICT dst) noexcept {
    constexpr int kPerByte = 8 / Bits;
    constexpr unsigned kMask = (1u << Bits) - 1;
    const int whole = width / kPerByte;
    for (int i = 0; i < whole; ++i) {
        const unsigned byte = src[i];
        for (int k = 0; k < kPerByte; ++k)
            dst[i * kPerByte + k] = std::uint8_t((byte >> (8 - Bits * (k + 1))) & kMask);
    }
    const int rest = width - whole * kPerByte;
    for (int k = 0; k < rest; ++k)
        dst[whole * kPerByte + k] = std::uint8_t((src[whole] >> (8 - Bits * (k + 1))) & kMask);
}

} // namespace

void UnpackIndexes(const std::uint8_t* IMG_RESTRICT src, int bits, int width,
                   std::uint8_t* IMG_RESTRICT dst) noexcept {
    switch (bits) {
    case 1:
        UnpackRow<1>(src, width, dst);
        break;
    case 2:
        UnpackRow<2>(src, width, dst);
        break;
    case 4:
        UnpackRow<4>(src, width, dst);
        break;
    default:
        std::memcpy(dst, src, std::size_t(width));
        break;
    }
}

std::uint8_t MaxIndex(const std::uint8_t* indexes, int width) noexcept {
    std::uint8_t largest = 0;
    for (int x = 0; x < width; ++x)
        largest = std::max(largest, indexes[x]);
    return largest;
}

void ExpandIndexes(const std::uint8_t* IMG_RESTRICT indexes, int width,
                   const RGBQuad* IMG_RESTRICT palette, RGBQuad* IMG_RESTRICT dst) noexcept {
    for (int x = 0; x < width; ++x)
        dst[x] = palette[indexes[x]];
}

void BgrToBgra(const std::uint8_t* IMG_RESTRICT src, int width,
               RGBQuad* IMG_RESTRICT dst) noexcept {
#if defined(IMG_HAVE_AVX2_KERNELS)
    if (img::avx2::Available()) {
        img::avx2::BgrToBgra(src, std::size_t(width), reinterpret_cast<std::uint8_t*>(dst));
        return;
    }
#endif
    for (int x = 0; x < width; ++x, src += 3)
        dst[x] = RGBQuad{src[0], src[1], src[2], 255};
}

void RgbToBgra(const std::uint8_t* IMG_RESTRICT src, int width,
               RGBQuad* IMG_RESTRICT dst) noexcept {
    for (int x = 0; x < width; ++x, src += 3)
        dst[x] = RGBQuad{src[2], src[1], src[0], 255};
}

bool StoreIndexRow(CImageBitmap& bitmap, int y, const std::uint8_t* indexes, const RGBQuad* palette,
                   unsigned paletteEntries) noexcept {
    const int width = bitmap.Width();
    if (paletteEntries < 256 && MaxIndex(indexes, width) >= paletteEntries)
        return false;
    if (bitmap.Depth() == 8)
        std::memcpy(bitmap.Line(y), indexes, std::size_t(width));
    else
        ExpandIndexes(indexes, width, palette, bitmap.Row<RGBQuad>(y));
    return true;
}

} // namespace codec
