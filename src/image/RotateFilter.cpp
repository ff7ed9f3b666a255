// SPDX-License-Identifier: MIT
#include "image/RotateFilter.h"

#include "image/FilterSupport.h"
#include "image/RotateKernels.h"

#include <algorithm>
#include <bit>
#include <cmath>

void CRotateFilter::Apply(const CImageBitmap& source, CImageBitmap& destination) {
    ReportProgress(0.01);
    // A non-finite angle has no turn to give; it leaves the picture as it is rather than
    // feeding NaN into integer conversions.
    const double angle = std::isfinite(m_dAngle) ? m_dAngle : 0.0;
    img::RotationMap map;
    map.c = std::cos(-angle);
    map.s = std::sin(-angle);
    const int w = source.Width() - 1;
    const int h = source.Height() - 1;
    int minX = 0, maxX = 0, minY = 0, maxY = 0; // corner (0, 0) maps to (0, 0)
    for (const auto& [x, y] : {std::pair{w, 0}, std::pair{0, h}, std::pair{w, h}}) {
        const int mx = img::RoundHalfUp(map.c * x - map.s * y);
        const int my = img::RoundHalfUp(map.s * x + map.c * y);
        minX = std::min(minX, mx);
        maxX = std::max(maxX, mx);
        minY = std::min(minY, my);
        maxY = std::max(maxY, my);
    }
    map.minX = minX;
    map.minY = minY;
    destination.Create(maxX - minX + 1, maxY - minY + 1, source.Depth(), source.HasAlpha());
    img::CopyPalette(source, destination);

    const img::CRowProgress progress(ProgressSink(), 0.01, 0.99, maxY - minY);
    if (!img::RotateQuarterTurns(source, destination, map, progress)) {
        const std::uint32_t background =
            source.Depth() <= 8
                ? std::uint32_t(img::NearestPaletteIndex(source.PaletteSpan(), m_background))
                : std::bit_cast<std::uint32_t>(m_background);
        img::RotateAnyAngle(source, destination, map, background, progress);
    }
    ReportProgress(1.0);
}
