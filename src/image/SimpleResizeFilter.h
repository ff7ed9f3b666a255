// SPDX-License-Identifier: MIT
// Bilinear resize: the triangle kernel of radius 1.
#pragma once

#include "image/ImageFilter.h"

class CSimpleResizeFilter : public CImageFilter {
public:
    CSimpleResizeFilter(int newWidth, int newHeight, CProgressSink* pProgress = nullptr)
        : CImageFilter(pProgress), m_nWidth(newWidth), m_nHeight(newHeight) {}

    // Destination newWidth x newHeight at 32 bpp (palette images are read through their
    // palette). Throws CTextException 10 for sizes the bitmaps cannot hold.
    void Apply(const CImageBitmap& source, CImageBitmap& destination) override;

    int NewWidth() const noexcept { return m_nWidth; }
    int NewHeight() const noexcept { return m_nHeight; }

private:
    int m_nWidth;
    int m_nHeight;
};
