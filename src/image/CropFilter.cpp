// SPDX-License-Identifier: MIT
#include "image/CropFilter.h"

#include "image/FilterSupport.h"

#include <algorithm>

void CCropFilter::Apply(const CImageBitmap& source, CImageBitmap& destination) {
    ReportProgress(0.01);
    const ImageRect r{std::max(m_rect.left, 0), std::max(m_rect.top, 0),
                      std::min(m_rect.right, source.Width()),
                      std::min(m_rect.bottom, source.Height())};
    const int depth = source.Depth();
    destination.Create(r.Width(), r.Height(), depth, source.HasAlpha());
    img::CopyPalette(source, destination);
    const img::CRowProgress progress(ProgressSink(), 0.01, 0.99, r.Height());
    for (int i = 0; i < r.Height(); ++i) {
        img::CopyPixels(source.Line(r.top + i), r.left, destination.Line(i), 0, r.Width(), depth);
        progress.Row(i);
    }
    ReportProgress(1.0);
}
