// SPDX-License-Identifier: MIT
#include "image/InvertFilter.h"

#include "image/FilterSupport.h"
#include "image/PixelKernels.h"

void CInvertFilter::Apply(const CImageBitmap& source, CImageBitmap& destination) {
    ReportProgress(0.05);
    std::unique_ptr<CMemoryBitmap> expanded;
    const CImageBitmap& src = img::TrueColorView(source, expanded);
    const int width = src.Width();
    const int height = src.Height();
    destination.Create(width, height, 32, false);
    const img::CRowProgress progress(ProgressSink(), 0.05, 0.95, height);
    for (int y = 0; y < height; ++y) {
        img::InvertRow32(src.Row<std::uint32_t>(y), destination.Row<std::uint32_t>(y), width);
        progress.Row(y);
    }
    ReportProgress(1.0);
}

void CInvertFilter::ApplyInPlace(CImageBitmap& bitmap) {
    const int width = bitmap.Width();
    const auto invert = [&](int y) {
        img::InvertRowInPlace32(bitmap.Row<std::uint32_t>(y), width);
    };
    if (!ChangeRowsInPlace(bitmap, bitmap.Height(), invert))
        CImageFilter::ApplyInPlace(bitmap);
}
