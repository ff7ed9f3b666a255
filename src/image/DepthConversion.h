// SPDX-License-Identifier: MIT
// Pixel conversions between the bitmap depths.
#pragma once

class CImageBitmap;

namespace img {

// Fills target (already created at its depth and the source's size) from source:
//  - to 32 bpp: palette entries (all four bytes) or the pixels themselves;
//  - to 1 bpp: palette white, black; a pixel whose blue, green and red are all below 128 is black;
//  - to 8 bpp from 1 bpp: entries 0 and 1 copy the source's with the fourth byte 255;
//  - to 8 bpp from 24/32 bpp: colour quantisation to a 256-entry palette;
//  - same depth: rows and palette copied.
void ConvertPixels(const CImageBitmap& source, CImageBitmap& target);

} // namespace img
