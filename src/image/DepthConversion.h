// SPDX-License-Identifier: MIT
// Pixel conversions between the bitmap depths.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

class CImageBitmap;

namespace img {

// Fills target (already created at its depth and the source's size) from source:
//  - to 32 bpp: palette entries (all four bytes) or the pixels themselves;
//  - to 1 bpp: palette white, black; a pixel whose blue, green and red are all below 128 is black;
//  - to 8 bpp from 1 bpp: entries 0 and 1 copy the source's with the fourth byte 255;
//  - to 8 bpp from 24/32 bpp: colour quantisation to a 256-entry palette;
//  - same depth: rows and palette copied.
void ConvertPixels(const CImageBitmap& source, CImageBitmap& target);

// Reads the rows of a bitmap of any depth as 32-bpp words: palette entries (all four bytes) for
// 1, 4 and 8 bpp, B, G, R, 0 for 24 bpp, and 32-bpp rows in place. For painting and converting
// parts of images whose depth nothing else draws.
class CRowReader32 {
public:
    explicit CRowReader32(const CImageBitmap& source);
    ~CRowReader32();
    CRowReader32(const CRowReader32&) = delete;
    CRowReader32& operator=(const CRowReader32&) = delete;

    // Image row y, top row 0 whatever the memory order; valid until the next call.
    const std::uint32_t* Row(int y);

private:
    struct Tables;
    const CImageBitmap& m_source;
    std::unique_ptr<Tables> m_pTables;
    std::vector<std::uint32_t> m_row;
};

} // namespace img
