// SPDX-License-Identifier: MIT
#include "image/FlipVerticalFilter.h"

#include "image/FilterSupport.h"

#include <algorithm>
#include <cstring>

void CFlipVerticalFilter::Apply(const CImageBitmap& source, CImageBitmap& destination) {
    ReportProgress(0.05);
    std::unique_ptr<CMemoryBitmap> expanded;
    const CImageBitmap& src = img::TrueColorView(source, expanded);
    const int height = src.Height();
    destination.Create(src.Width(), height, 32, false);
    const std::size_t rowBytes = src.PixelBytesPerLine();
    const img::CRowProgress progress(ProgressSink(), 0.05, 0.95, height);
    for (int y = 0; y < height; ++y) {
        std::memcpy(destination.Line(y), src.Line(height - 1 - y), rowBytes);
        progress.Row(y);
    }
    ReportProgress(1.0);
}

void CFlipVerticalFilter::ApplyInPlace(CImageBitmap& bitmap) {
    const int width = bitmap.Width();
    const int height = bitmap.Height();
    const auto swapWithMirrorRow = [&](int y) {
        std::uint32_t* top = bitmap.Row<std::uint32_t>(y);
        std::swap_ranges(top, top + width, bitmap.Row<std::uint32_t>(height - 1 - y));
    };
    if (!ChangeRowsInPlace(bitmap, height / 2, swapWithMirrorRow))
        CImageFilter::ApplyInPlace(bitmap);
}
