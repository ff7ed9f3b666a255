// SPDX-License-Identifier: MIT
#include "image/ContrastFilter.h"

#include "image/ChannelMap.h"
#include "image/FilterSupport.h"

void CContrastFilter::Apply(const CImageBitmap& source, CImageBitmap& destination) {
    ReportProgress(0.01);
    const double base = (m_dOffset - 125.0) * m_dFactor + 125.0;
    img::ByteLut lut;
    for (int v = 0; v < 256; ++v)
        lut[std::size_t(v)] = img::ClampToByte(base + m_dFactor * v);
    const img::CChannelMap map(lut, static_cast<float>(base + 1e-3), static_cast<float>(m_dFactor));
    map.Apply(source, destination, img::CRowProgress(ProgressSink(), 0.01, 0.99, source.Height()));
    ReportProgress(1.0);
}
