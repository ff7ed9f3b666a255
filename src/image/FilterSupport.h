// SPDX-License-Identifier: MIT
// Helpers shared by the image filters: the integer conversions of the filter arithmetic,
// progress over rows, palette look-ups and true-colour views of any source.
#pragma once

#include "image/ImageBitmap.h"
#include "image/MemoryBitmap.h"
#include "image/Pixel.h"

#include <cmath>
#include <cstdint>
#include <memory>
#include <span>

class CProgressSink;

namespace img {

// Done literally in doubles, arithmetic whose exact result is a whole number can land a hair
// below it (0.212671 * 124 + 0.71516 * 124 + 0.072169 * 124 = 123.99999999999999), and the
// truncation that follows loses a whole unit. Every truncation or clamp of a computed double
// adds this much first; it is far below the smallest step any filter's real result can take
// above a whole number, so results that are not whole are never pushed over.
inline constexpr double kTruncSlack = 1e-9;

// Truncation toward zero, after the slack.
inline int TruncExact(double v) noexcept {
    return static_cast<int>(v + kTruncSlack);
}

// 255 when the value is >= 255, 0 when it is below 0, else the truncated value (after the slack).
inline std::uint8_t ClampToByte(double v) noexcept {
    v += kTruncSlack;
    if (v >= 255.0)
        return 255;
    if (v < 0.0)
        return 0;
    return static_cast<std::uint8_t>(static_cast<int>(v));
}

// Nearest integer with halves going up: floor(v + 0.5). For coordinates that may be negative.
inline int RoundHalfUp(double v) noexcept {
    return static_cast<int>(std::floor(v + 0.5));
}

// Reports start + span * i / rows after row i (0-based) of rows.
class CRowProgress {
public:
    CRowProgress(CProgressSink* pSink, double start, double span, int rows) noexcept
        : m_pSink(pSink), m_dStart(start), m_dSpan(span), m_nRows(rows) {}
    void Row(int i) const;

private:
    CProgressSink* m_pSink;
    double m_dStart;
    double m_dSpan;
    int m_nRows;
};

void Report(CProgressSink* pSink, double fraction);

// Index of the palette entry nearest to colour (smallest sum of absolute differences of red,
// green and blue; the first of equal candidates wins).
int NearestPaletteIndex(std::span<const RGBQuad> palette, RGBQuad colour) noexcept;

// The source itself when it is 32 bpp, else a 32-bpp copy held in holder (palette entries
// become pixels, all four bytes).
const CImageBitmap& TrueColorView(const CImageBitmap& source,
                                  std::unique_ptr<CMemoryBitmap>& holder);

// Copies the palette of source into destination (both <= 8 bpp of the same depth).
void CopyPalette(const CImageBitmap& source, CImageBitmap& destination) noexcept;

// Pixel index access for depths below 8 (1 and 4 bpp, packed most significant bits first).
inline unsigned GetPackedIndex(const std::uint8_t* row, int x, int depth) noexcept {
    const int perByte = 8 / depth;
    const int shift = 8 - depth * (x % perByte + 1);
    return (row[x / perByte] >> shift) & ((1u << depth) - 1u);
}
inline void SetPackedIndex(std::uint8_t* row, int x, int depth, unsigned index) noexcept {
    const int perByte = 8 / depth;
    const int shift = 8 - depth * (x % perByte + 1);
    const unsigned mask = ((1u << depth) - 1u) << shift;
    row[x / perByte] =
        static_cast<std::uint8_t>((row[x / perByte] & ~mask) | ((index << shift) & mask));
}

// Copies count pixels of any depth from (sx in src) to (dx in dst); rows may not overlap.
void CopyPixels(const std::uint8_t* src, int sx, std::uint8_t* dst, int dx, int count,
                int depth) noexcept;

// Sets count pixels of any depth from x on to one value (an index for <= 8 bpp, else the pixel's
// bytes in memory order).
void FillPixels(std::uint8_t* row, int x, int count, int depth, std::uint32_t value) noexcept;

} // namespace img
