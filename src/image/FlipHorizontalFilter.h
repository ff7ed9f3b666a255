// SPDX-License-Identifier: MIT
// Left-right mirror: destination pixel (x, y) is source pixel (W - 1 - x, y).
#pragma once

#include "image/ImageFilter.h"

class CFlipHorizontalFilter : public CImageFilter {
public:
    explicit CFlipHorizontalFilter(CProgressSink* pProgress = nullptr) : CImageFilter(pProgress) {}

    // Destination 32 bpp without alpha, from any source depth (palette images through their
    // palette).
    void Apply(const CImageBitmap& source, CImageBitmap& destination) override;
    // A 32-bpp bitmap is changed where it lies: no second image in memory.
    void ApplyInPlace(CImageBitmap& bitmap) override;
};
