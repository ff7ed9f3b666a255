// SPDX-License-Identifier: MIT
// Intensity: each pixel goes to hue, saturation and value on a 0-255 scale, its value V at or
// above the offset T becomes V x (q x (V - T)^e + 1) with q = (I - 20) x 0.25 / 255^e, and it
// comes back to red, green and blue.
#pragma once

#include "image/ImageFilter.h"

#include <cstdint>

class CIntensityFilter : public CImageFilter {
public:
    CIntensityFilter(double intensity, std::uint8_t offset, double exponent,
                     CProgressSink* pProgress = nullptr)
        : CImageFilter(pProgress), m_dIntensity(intensity), m_dOffset(offset),
          m_dExponent(exponent) {}

    // Destination at the source's size, depth and alpha flag. 24 and 32 bpp change pixels (the
    // fourth byte is kept); palette images change their palette entries.
    void Apply(const CImageBitmap& source, CImageBitmap& destination) override;

    double Intensity() const noexcept { return m_dIntensity; }
    double Offset() const noexcept { return m_dOffset; }
    double Exponent() const noexcept { return m_dExponent; }

private:
    double m_dIntensity;
    double m_dOffset;
    double m_dExponent;
};
