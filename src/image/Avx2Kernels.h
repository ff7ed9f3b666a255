// SPDX-License-Identifier: MIT
// AVX2 forms of the hottest loops, chosen at run time on machines that have it. Each computes
// exactly what its plain counterpart computes.
#pragma once

#include "image/Pixel.h"

#include <cstddef>
#include <cstdint>

namespace img::avx2 {

// True when the processor runs AVX2 (checked once).
bool Available() noexcept;

#if defined(__x86_64__) && defined(__GNUC__)
#define IMG_HAVE_AVX2_KERNELS 1

// dst[i] = trunc(clamp(offset + factor * src[i], 0, 255)) in single precision.
void LinearBytes(const std::uint8_t* IMG_RESTRICT src, std::uint8_t* IMG_RESTRICT dst,
                 std::size_t count, float offset, float factor) noexcept;

// Source byte offsets sy * pitch + sx * pixelBytes of the rotation samples X = x0 + k, k < count,
// of one destination row (sY = s * Y and cY = c * Y of the row):
//   sx = floor(c * X + sY + 0.5), sy = floor(cY - s * X + 0.5).
// Every one of them must lie inside the source.
void RotationOffsets(double c, double s, double sY, double cY, int x0, int count, int pitch,
                     int pixelBytes, std::int32_t* IMG_RESTRICT offsets) noexcept;

// dst[k] = the 32-bit pixel at base + offsets[k], k < count.
void GatherPixels32(const std::uint8_t* base, const std::int32_t* IMG_RESTRICT offsets, int count,
                    std::uint32_t* IMG_RESTRICT dst) noexcept;

// dst[i] = trunc(clamp(sums[i] + 0.5 + slack, 0, 255)): the rounding of resampled sums.
void RoundSumsToBytes(const double* IMG_RESTRICT sums, std::uint8_t* IMG_RESTRICT dst,
                      std::size_t count, double slack) noexcept;

// A sideways quarter turn of 32-bit pixels in 8 x 8 blocks: destination pixel (k, i) is source
// pixel (sx0 + bx * i, sy0 + ay * k), bx and ay each +1 or -1, for k0 <= k < k1 and i0 <= i < i1
// (whole blocks). Row y of the source is at srcBase + y * srcPitch, of the destination likewise.
void TurnBlocks32(const std::uint8_t* srcBase, std::ptrdiff_t srcPitch, int sx0, int sy0, int bx,
                  int ay, std::uint8_t* dstBase, std::ptrdiff_t dstPitch, int k0, int k1, int i0,
                  int i1) noexcept;

// Blue, green, red triples to 32-bit pixels with the fourth byte 255 (count pixels).
void BgrToBgra(const std::uint8_t* IMG_RESTRICT src, std::size_t count,
               std::uint8_t* IMG_RESTRICT dst) noexcept;

// 32-bit pixels to their blue, green, red bytes (count pixels).
void BgraToBgr(const std::uint8_t* IMG_RESTRICT src, std::size_t count,
               std::uint8_t* IMG_RESTRICT dst) noexcept;
#endif

} // namespace img::avx2
