// SPDX-License-Identifier: MIT
#include "image/BrightnessFilter.h"

#include "image/ChannelMap.h"
#include "image/FilterSupport.h"

void CBrightnessFilter::Apply(const CImageBitmap& source, CImageBitmap& destination) {
    ReportProgress(0.01);
    const double shift = m_dAmount * 2.55;
    img::ByteLut lut;
    for (int v = 0; v < 256; ++v)
        lut[std::size_t(v)] = img::ClampToByte(v + shift);
    // 1e-3 stands in for the slack in single precision; the map checks it against the table.
    const img::CChannelMap map(lut, static_cast<float>(shift + 1e-3), 1.0f);
    map.Apply(source, destination, img::CRowProgress(ProgressSink(), 0.01, 0.99, source.Height()));
    ReportProgress(1.0);
}
