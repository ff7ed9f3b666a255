// SPDX-License-Identifier: MIT
// Invert: blue, green and red become 255 - value.
#pragma once

#include "image/ImageFilter.h"

class CInvertFilter : public CImageFilter {
public:
    explicit CInvertFilter(CProgressSink* pProgress = nullptr) : CImageFilter(pProgress) {}

    // Destination 32 bpp without alpha, from any source depth (palette images through their
    // palette); the fourth byte is the source's.
    void Apply(const CImageBitmap& source, CImageBitmap& destination) override;
    // A 32-bpp bitmap is changed where it lies: no second image in memory.
    void ApplyInPlace(CImageBitmap& bitmap) override;
};
