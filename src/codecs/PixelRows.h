// SPDX-License-Identifier: MIT
// Row kernels shared by the readers: unpacking packed indexes, palette expansion and the usual
// true-colour layouts into 32-bpp rows (blue, green, red, fourth byte).
#pragma once

#include "image/Pixel.h"

#include <cstdint>

class CImageBitmap;

namespace codec {

// width indexes of bits (1, 2, 4 or 8) bits each, most significant bits first.
void UnpackIndexes(const std::uint8_t* IMG_RESTRICT src, int bits, int width,
                   std::uint8_t* IMG_RESTRICT dst) noexcept;

// The largest of width indexes (0 for an empty row).
std::uint8_t MaxIndex(const std::uint8_t* indexes, int width) noexcept;

// Each index replaced by its entry of a 256-entry palette.
void ExpandIndexes(const std::uint8_t* IMG_RESTRICT indexes, int width,
                   const RGBQuad* IMG_RESTRICT palette, RGBQuad* IMG_RESTRICT dst) noexcept;

// Blue, green, red triples to pixels with the fourth byte 255.
void BgrToBgra(const std::uint8_t* IMG_RESTRICT src, int width, RGBQuad* IMG_RESTRICT dst) noexcept;

// Red, green, blue triples to pixels with the fourth byte 255.
void RgbToBgra(const std::uint8_t* IMG_RESTRICT src, int width, RGBQuad* IMG_RESTRICT dst) noexcept;

// Stores one row of 8-bit indexes as row y of an 8-bpp bitmap (copied) or a 32-bpp one
// (expanded through the 256-entry palette). Returns false, storing nothing, when an index is
// not below paletteEntries.
bool StoreIndexRow(CImageBitmap& bitmap, int y, const std::uint8_t* indexes, const RGBQuad* palette,
                   unsigned paletteEntries) noexcept;

} // namespace codec
