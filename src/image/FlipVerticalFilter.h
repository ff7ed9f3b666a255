// SPDX-License-Identifier: MIT
// Top-bottom flip: destination row y is source row H - 1 - y.
#pragma once

#include "image/ImageFilter.h"

class CFlipVerticalFilter : public CImageFilter {
public:
    explicit CFlipVerticalFilter(CProgressSink* pProgress = nullptr) : CImageFilter(pProgress) {}

    // Destination 32 bpp without alpha, from any source depth (palette images through their
    // palette).
    void Apply(const CImageBitmap& source, CImageBitmap& destination) override;
    // A 32-bpp bitmap is changed where it lies: no second image in memory.
    void ApplyInPlace(CImageBitmap& bitmap) override;
};
