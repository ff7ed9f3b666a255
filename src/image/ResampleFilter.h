// SPDX-License-Identifier: MIT
// Resize with the box, Gaussian or Hamming kernel of a given radius.
#pragma once

#include "image/ImageFilter.h"
#include "image/ResampleKernels.h"

class CResampleFilter : public CImageFilter {
public:
    CResampleFilter(int newWidth, int newHeight, double radius, img::ResampleKernel kernel,
                    CProgressSink* pProgress = nullptr)
        : CImageFilter(pProgress), m_nWidth(newWidth), m_nHeight(newHeight), m_dRadius(radius),
          m_kernel(kernel) {}

    // Destination newWidth x newHeight at 32 bpp (palette images are read through their
    // palette). Throws CTextException 10 for sizes the bitmaps cannot hold.
    void Apply(const CImageBitmap& source, CImageBitmap& destination) override;

    int NewWidth() const noexcept { return m_nWidth; }
    int NewHeight() const noexcept { return m_nHeight; }
    double Radius() const noexcept { return m_dRadius; }
    img::ResampleKernel Kernel() const noexcept { return m_kernel; }

private:
    int m_nWidth;
    int m_nHeight;
    double m_dRadius;
    img::ResampleKernel m_kernel;
};
