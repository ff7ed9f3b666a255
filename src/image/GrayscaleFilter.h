// SPDX-License-Identifier: MIT
// Grayscale: an 8-bpp image with the grey ramp palette, each pixel
// trunc(0.212671 R + 0.71516 G + 0.072169 B).
#pragma once

#include "image/ImageFilter.h"

class CGrayscaleFilter : public CImageFilter {
public:
    explicit CGrayscaleFilter(CProgressSink* pProgress = nullptr) : CImageFilter(pProgress) {}

    // Any source depth; palette images are read through their palette.
    void Apply(const CImageBitmap& source, CImageBitmap& destination) override;
};
