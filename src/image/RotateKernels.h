// SPDX-License-Identifier: MIT
// Nearest-neighbour rotation loops: any angle, and exact quarter turns.
#pragma once

#include "image/Pixel.h"

#include <cstdint>

class CImageBitmap;

namespace img {

class CRowProgress;

// Destination pixel (k, i) samples source pixel
//   sx = floor(c * X + s * Y + 0.5), sy = floor(c * Y - s * X + 0.5), X = minX + k, Y = minY + i,
// or is the background when (sx, sy) lies outside the source.
struct RotationMap {
    double c = 1.0;
    double s = 0.0;
    int minX = 0;
    int minY = 0;
};

// One pixel of 24 bpp.
struct Px24 {
    std::uint8_t v[3];
};
static_assert(sizeof(Px24) == 3);

// The destination is already created at its size and at the source's depth. background is the
// pixel value (a palette index for depths below 8 bits).
void RotateAnyAngle(const CImageBitmap& source, CImageBitmap& destination, const RotationMap& map,
                    std::uint32_t background, const CRowProgress& progress);

// When the map is a turn by a multiple of 90 degrees for every pixel of this source (its
// rounding can never pick another pixel), fills the destination by plain copies and returns
// true; otherwise leaves it and returns false. The result equals RotateAnyAngle's.
bool RotateQuarterTurns(const CImageBitmap& source, CImageBitmap& destination,
                        const RotationMap& map, const CRowProgress& progress);

} // namespace img
