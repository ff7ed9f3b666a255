// SPDX-License-Identifier: MIT
#include "image/FlipHorizontalFilter.h"

#include "image/FilterSupport.h"
#include "image/PixelKernels.h"

void CFlipHorizontalFilter::Apply(const CImageBitmap& source, CImageBitmap& destination) {
    ReportProgress(0.04);
    std::unique_ptr<CMemoryBitmap> expanded;
    const CImageBitmap& src = img::TrueColorView(source, expanded);
    const int width = src.Width();
    const int height = src.Height();
    destination.Create(width, height, 32, false);
    const img::CRowProgress progress(ProgressSink(), 0.04, 0.96, height);
    for (int y = 0; y < height; ++y) {
        img::MirrorRow32(src.Row<std::uint32_t>(y), destination.Row<std::uint32_t>(y), width);
        progress.Row(y);
    }
    ReportProgress(1.0);
}

void CFlipHorizontalFilter::ApplyInPlace(CImageBitmap& bitmap) {
    const int width = bitmap.Width();
    const auto mirror = [&](int y) {
        img::MirrorRowInPlace32(bitmap.Row<std::uint32_t>(y), width);
    };
    if (!ChangeRowsInPlace(bitmap, bitmap.Height(), mirror))
        CImageFilter::ApplyInPlace(bitmap);
}
