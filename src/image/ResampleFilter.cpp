// SPDX-License-Identifier: MIT
#include "image/ResampleFilter.h"

#include "image/FilterSupport.h"

void CResampleFilter::Apply(const CImageBitmap& source, CImageBitmap& destination) {
    ReportProgress(0.01);
    std::unique_ptr<CMemoryBitmap> expanded;
    const CImageBitmap& src = img::TrueColorView(source, expanded);
    img::Resample(src, destination, m_nWidth, m_nHeight, m_dRadius, m_kernel, ProgressSink());
    ReportProgress(1.0);
}
