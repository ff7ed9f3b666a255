// SPDX-License-Identifier: MIT
#include "image/FilterSupport.h"

#include "image/ProgressSink.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>

namespace img {

void Report(CProgressSink* pSink, double fraction) {
    if (pSink)
        pSink->SetProgress(fraction);
}

void CRowProgress::Row(int i) const {
    if (m_pSink && m_nRows > 0)
        m_pSink->SetProgress(m_dStart + m_dSpan * i / m_nRows);
}

int NearestPaletteIndex(std::span<const RGBQuad> palette, RGBQuad colour) noexcept {
    int best = 0;
    int bestDistance = 1 << 30;
    for (std::size_t i = 0; i < palette.size(); ++i) {
        const RGBQuad& p = palette[i];
        const int distance = std::abs(int(p.red) - int(colour.red)) +
                             std::abs(int(p.green) - int(colour.green)) +
                             std::abs(int(p.blue) - int(colour.blue));
        if (distance < bestDistance) {
            bestDistance = distance;
            best = int(i);
        }
    }
    return best;
}

const CImageBitmap& TrueColorView(const CImageBitmap& source,
                                  std::unique_ptr<CMemoryBitmap>& holder) {
    if (source.Depth() == 32)
        return source;
    holder = std::make_unique<CMemoryBitmap>();
    holder->CreateCopy(source, 32);
    return *holder;
}

void CopyPalette(const CImageBitmap& source, CImageBitmap& destination) noexcept {
    const auto from = source.PaletteSpan();
    const auto to = destination.PaletteSpan();
    std::copy_n(from.begin(), std::min(from.size(), to.size()), to.begin());
}

void CopyPixels(const std::uint8_t* src, int sx, std::uint8_t* dst, int dx, int count,
                int depth) noexcept {
    if (count <= 0)
        return;
    if (depth >= 8) {
        const std::size_t bpp = std::size_t(depth) / 8;
        std::memmove(dst + std::size_t(dx) * bpp, src + std::size_t(sx) * bpp,
                     std::size_t(count) * bpp);
        return;
    }
    for (int i = 0; i < count; ++i)
        SetPackedIndex(dst, dx + i, depth, GetPackedIndex(src, sx + i, depth));
}

void FillPixels(std::uint8_t* row, int x, int count, int depth, std::uint32_t value) noexcept {
    if (count <= 0)
        return;
    switch (depth) {
    case 8:
        std::memset(row + x, int(value & 0xFF), std::size_t(count));
        return;
    case 32:
        std::fill_n(reinterpret_cast<std::uint32_t*>(row) + x, count, value);
        return;
    case 24:
        for (std::uint8_t* p = row + std::size_t(x) * 3; count > 0; --count, p += 3) {
            p[0] = std::uint8_t(value);
            p[1] = std::uint8_t(value >> 8);
            p[2] = std::uint8_t(value >> 16);
        }
        return;
    default:
        for (int i = 0; i < count; ++i)
            SetPackedIndex(row, x + i, depth, value);
        return;
    }
}

} // namespace img
