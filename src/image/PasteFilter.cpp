// SPDX-License-Identifier: MIT
#include "image/PasteFilter.h"

#include "image/FilterSupport.h"

#include <algorithm>
#include <bit>
#include <unordered_map>

CPasteFilter::CPasteFilter(const CImageBitmap& pasted, const ImageRect& sourceRect,
                           const ImageRect& destinationRect, CProgressSink* pProgress)
    : CImageFilter(pProgress), m_rcSource(sourceRect.Normalized()),
      m_rcDestination(destinationRect.Normalized()) {
    m_pasted.CreateCopy(pasted);
}

namespace {

bool SamePalette(const CImageBitmap& a, const CImageBitmap& b) {
    return a.Depth() == b.Depth() &&
           std::equal(a.PaletteSpan().begin(), a.PaletteSpan().end(), b.PaletteSpan().begin());
}

// The pasted bitmap in the image's pixel format.
const CImageBitmap& InImageFormat(const CImageBitmap& pasted, const CImageBitmap& image,
                                  std::unique_ptr<CMemoryBitmap>& holder) {
    if (image.Depth() > 8) {
        if (pasted.Depth() == image.Depth())
            return pasted;
        holder = std::make_unique<CMemoryBitmap>();
        holder->CreateCopy(pasted, image.Depth());
        return *holder;
    }
    if (SamePalette(pasted, image))
        return pasted;
    std::unique_ptr<CMemoryBitmap> expanded;
    const CImageBitmap& colours = img::TrueColorView(pasted, expanded);
    holder = std::make_unique<CMemoryBitmap>();
    holder->Create(pasted.Width(), pasted.Height(), image.Depth());
    img::CopyPalette(image, *holder);
    std::unordered_map<std::uint32_t, unsigned> nearest;
    for (int y = 0; y < colours.Height(); ++y) {
        const auto* row = colours.Row<std::uint32_t>(y);
        for (int x = 0; x < colours.Width(); ++x) {
            const std::uint32_t rgb = row[x] & 0x00FFFFFFu;
            auto found = nearest.find(rgb);
            if (found == nearest.end())
                found = nearest
                            .emplace(rgb, unsigned(img::NearestPaletteIndex(
                                              image.PaletteSpan(), std::bit_cast<RGBQuad>(rgb))))
                            .first;
            img::FillPixels(holder->Line(y), x, 1, image.Depth(), found->second);
        }
    }
    return *holder;
}

} // namespace

void CPasteFilter::Apply(const CImageBitmap& source, CImageBitmap& destination) {
    ReportProgress(0.08);
    destination.CreateCopy(source);
    std::unique_ptr<CMemoryBitmap> holder;
    const CImageBitmap& pasted = InImageFormat(m_pasted, source, holder);
    const ImageRect& s = m_rcSource;
    const ImageRect& d = m_rcDestination;
    const int length = std::min(s.Width(), d.Width());
    // Columns j of the run that lie inside both bitmaps.
    const int first = std::max({0, -s.left, -d.left});
    const int last = std::min({length, pasted.Width() - s.left, destination.Width() - d.left});
    const img::CRowProgress progress(ProgressSink(), 0.08, 0.92, s.Height());
    for (int j = s.top; j < s.bottom; ++j) {
        const int dy = d.top + (j - s.top);
        if (dy >= 0 && dy < destination.Height() && j >= 0 && j < pasted.Height() && first < last)
            img::CopyPixels(pasted.Line(j), s.left + first, destination.Line(dy), d.left + first,
                            last - first, source.Depth());
        // Reported after each row with the number of rows done, so the last row reports 1.
        progress.Row(j - s.top + 1);
    }
    ReportProgress(1.0);
}
