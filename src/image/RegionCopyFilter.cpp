// SPDX-License-Identifier: MIT
#include "image/RegionCopyFilter.h"

#include "image/FilterSupport.h"

#include <algorithm>
#include <bit>

namespace {

// The fill pixel: red, green, blue of the COLORREF with the fourth byte 0, or for palette
// images the nearest palette entry.
std::uint32_t FillValue(const CImageBitmap& image, std::uint32_t colorRef) {
    const RGBQuad quad = img::QuadFromColorRef(colorRef, 0);
    if (image.Depth() <= 8)
        return std::uint32_t(img::NearestPaletteIndex(image.PaletteSpan(), quad));
    return std::bit_cast<std::uint32_t>(quad);
}

} // namespace

void CRegionCopyFilter::Apply(const CImageBitmap& source, CImageBitmap& destination) {
    ReportProgress(0.01);
    destination.CreateCopy(source);
    const int width = source.Width();
    const int height = source.Height();
    const int depth = source.Depth();
    const ImageRect& a = m_rcVacated;
    const ImageRect& s = m_rcSource;
    const ImageRect& d = m_rcDestination;
    const int copyWidth = std::min(d.Width(), a.Width());
    const int copyHeight = std::min(d.Height(), a.Height());

    double copyStart = 0.0;
    if (m_nCopy == 0) {
        const std::uint32_t fill = FillValue(source, m_crFill);
        const int left = std::max(a.left, 0);
        const int count = std::min(a.right, width) - left;
        const img::CRowProgress progress(ProgressSink(), 0.0, 0.5, a.Height());
        for (int i = 0; i < a.Height(); ++i) {
            const int y = a.top + i;
            if (y >= 0 && y < height)
                img::FillPixels(destination.Line(y), left, count, depth, fill);
            progress.Row(i);
        }
        copyStart = 0.5;
    }

    // Columns j of the block that lie inside the image both where they are read and written.
    const int first = std::max({0, -s.left, -d.left});
    const int last = std::min({copyWidth, width - s.left, width - d.left});
    const img::CRowProgress progress(ProgressSink(), copyStart, 1.0 - copyStart, copyHeight);
    for (int i = 0; i < copyHeight; ++i) {
        const int sy = s.top + i;
        const int dy = d.top + i;
        if (sy >= 0 && sy < height && dy >= 0 && dy < height && first < last)
            img::CopyPixels(source.Line(sy), s.left + first, destination.Line(dy), d.left + first,
                            last - first, depth);
        progress.Row(i);
    }
    ReportProgress(1.0);
}
