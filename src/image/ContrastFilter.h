// SPDX-License-Identifier: MIT
// Contrast: blue, green and red each become clamp(base + factor x value) with
// base = (offset - 250) x factor + 125, so the default offset 125 pivots around 125.
#pragma once

#include "image/ImageFilter.h"

#include <cstdint>

class CContrastFilter : public CImageFilter {
public:
    CContrastFilter(double factor, std::uint8_t offset, CProgressSink* pProgress = nullptr)
        : CImageFilter(pProgress), m_dFactor(factor), m_dOffset(double(offset) - 125.0) {}

    // Destination at the source's size, depth and alpha flag. 24 and 32 bpp change pixels;
    // palette images change their palette entries.
    void Apply(const CImageBitmap& source, CImageBitmap& destination) override;

    double Factor() const noexcept { return m_dFactor; }
    // The offset as stored: offset - 125.
    double StoredOffset() const noexcept { return m_dOffset; }

private:
    double m_dFactor;
    double m_dOffset;
};
