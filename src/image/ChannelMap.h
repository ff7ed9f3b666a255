// SPDX-License-Identifier: MIT
// A per-channel table for the point operations (brightness, contrast) and its application to
// bitmaps of every depth.
#pragma once

#include "image/PixelKernels.h"

class CImageBitmap;

namespace img {

class CRowProgress;

class CChannelMap {
public:
    // lut holds the exact result for each channel value. When offset + factor * v, truncated
    // and clamped in single precision, gives the same 256 values, rows are mapped by that
    // vectorised formula instead of table look-ups.
    CChannelMap(const ByteLut& lut, float offset, float factor) noexcept;

    const ByteLut& Lut() const noexcept { return m_lut; }
    bool IsLinear() const noexcept { return m_bLinear; }

    void MapBytes(const std::uint8_t* IMG_RESTRICT src, std::uint8_t* IMG_RESTRICT dst,
                  std::size_t count) const noexcept;

    // Destination at the source's size, depth and alpha flag. 24 and 32 bpp: blue, green and red
    // pass through the table, the fourth byte is kept. Palette images: the palette entries do,
    // and the indices are copied. progress gets row i after each row.
    void Apply(const CImageBitmap& source, CImageBitmap& destination,
               const CRowProgress& progress) const;

private:
    ByteLut m_lut;
    float m_fOffset;
    float m_fFactor;
    bool m_bLinear;
};

} // namespace img
