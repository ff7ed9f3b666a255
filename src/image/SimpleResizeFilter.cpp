// SPDX-License-Identifier: MIT
#include "image/SimpleResizeFilter.h"

#include "image/FilterSupport.h"
#include "image/ResampleKernels.h"

void CSimpleResizeFilter::Apply(const CImageBitmap& source, CImageBitmap& destination) {
    ReportProgress(0.01);
    std::unique_ptr<CMemoryBitmap> expanded;
    const CImageBitmap& src = img::TrueColorView(source, expanded);
    img::Resample(src, destination, m_nWidth, m_nHeight, 1.0, img::ResampleKernel::Bilinear,
                  ProgressSink());
    ReportProgress(1.0);
}
