// SPDX-License-Identifier: MIT
#include "image/ImageFilter.h"

#include "image/FilterSupport.h"
#include "image/ImageBitmap.h"
#include "image/ProgressSink.h"

void CImageFilter::ApplyInPlace(CImageBitmap& bitmap) {
    // The result is built in a bitmap of the same class and the storage exchanged afterwards:
    // the same observable result as copying it back, at half the memory traffic.
    std::unique_ptr<CImageBitmap> result = bitmap.CreateEmptyLike();
    Apply(bitmap, *result);
    bitmap.SwapStorage(*result);
}

bool CImageFilter::ChangeRowsInPlace(CImageBitmap& bitmap, int rows,
                                     const std::function<void(int)>& rowStep) {
    if (bitmap.Depth() != 32)
        return false;
    ReportProgress(0.05);
    const img::CRowProgress progress(ProgressSink(), 0.05, 0.95, rows);
    for (int y = 0; y < rows; ++y) {
        rowStep(y);
        progress.Row(y);
    }
    bitmap.SetAlpha(false);
    ReportProgress(1.0);
    return true;
}

void CImageFilter::ReportProgress(double fraction) const {
    if (m_pProgress)
        m_pProgress->SetProgress(fraction);
}
