// SPDX-License-Identifier: MIT
// Brightness: blue, green and red each become clamp(value + amount x 2.55).
#pragma once

#include "image/ImageFilter.h"

class CBrightnessFilter : public CImageFilter {
public:
    explicit CBrightnessFilter(int amount, CProgressSink* pProgress = nullptr)
        : CImageFilter(pProgress), m_dAmount(amount) {}

    // Destination at the source's size, depth and alpha flag. 24 and 32 bpp change pixels;
    // palette images change their palette entries.
    void Apply(const CImageBitmap& source, CImageBitmap& destination) override;

    double Amount() const noexcept { return m_dAmount; }

private:
    double m_dAmount;
};
