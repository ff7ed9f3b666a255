// SPDX-License-Identifier: MIT
// Row kernels of the point operations and flips. Each works on one row; callers dispatch on the
// depth once per image.
#pragma once

#include "image/Pixel.h"

#include <array>
#include <cstddef>
#include <cstdint>

class CImageBitmap;

namespace img {

// Sets every pixel byte of every row to value; the padding at the ends of rows is left alone.
// 0xFF makes a 24- or 32-bpp image white (a new image starts white, not with what memory held).
void FillPixelBytes(CImageBitmap& bitmap, std::uint8_t value) noexcept;

using ByteLut = std::array<std::uint8_t, 256>;

// dst[i] = lut[src[i]].
void LutBytes(const std::uint8_t* IMG_RESTRICT src, std::uint8_t* IMG_RESTRICT dst,
              std::size_t count, const ByteLut& lut) noexcept;

// dst[i] = trunc(clamp(offset + factor * src[i], 0, 255)) in single precision: the vectorised
// form of a channel table, used only where it has been checked to equal the table on all 256
// values (see CChannelMap).
void LinearBytes(const std::uint8_t* IMG_RESTRICT src, std::uint8_t* IMG_RESTRICT dst,
                 std::size_t count, float offset, float factor) noexcept;

// Puts the fourth byte of every src pixel back into dst (both 32 bpp).
void KeepFourthByte(const std::uint32_t* IMG_RESTRICT src, std::uint32_t* IMG_RESTRICT dst,
                    int count) noexcept;

// Grey of blue, green, red as trunc(0.212671 R + 0.71516 G + 0.072169 B), exactly: the weights
// are millionths that add up to one, so the value is a whole number of millionths.
inline std::uint8_t GreyOf(unsigned r, unsigned g, unsigned b) noexcept {
    return static_cast<std::uint8_t>((212671u * r + 715160u * g + 72169u * b) / 1000000u);
}
void GreyRow32(const std::uint32_t* IMG_RESTRICT src, std::uint8_t* IMG_RESTRICT dst,
               int count) noexcept;
void GreyRow24(const std::uint8_t* IMG_RESTRICT src, std::uint8_t* IMG_RESTRICT dst,
               int count) noexcept;

// Complements blue, green and red; the fourth byte is kept.
void InvertRow32(const std::uint32_t* IMG_RESTRICT src, std::uint32_t* IMG_RESTRICT dst,
                 int count) noexcept;

// The same with the row changed where it lies.
void InvertRowInPlace32(std::uint32_t* row, int count) noexcept;

// dst[x] = src[count - 1 - x].
void MirrorRow32(const std::uint32_t* IMG_RESTRICT src, std::uint32_t* IMG_RESTRICT dst,
                 int count) noexcept;
// Reverses the row where it lies.
void MirrorRowInPlace32(std::uint32_t* row, int count) noexcept;

} // namespace img
