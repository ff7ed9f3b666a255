// SPDX-License-Identifier: MIT
#include "image/ImageFilter.h"

#include "image/ImageBitmap.h"
#include "image/ProgressSink.h"

void CImageFilter::ApplyInPlace(CImageBitmap& bitmap) {
    // The result is built in a bitmap of the same class and the storage exchanged afterwards:
    // the same observable result as copying it back, at half the memory traffic.
    std::unique_ptr<CImageBitmap> result = bitmap.CreateEmptyLike();
    Apply(bitmap, *result);
    bitmap.SwapStorage(*result);
}

void CImageFilter::ReportProgress(double fraction) const {
    if (m_pProgress)
        m_pProgress->SetProgress(fraction);
}
