// SPDX-License-Identifier: MIT
// Moves or copies a rectangle of the image: a move first fills the vacated rectangle with the
// fill colour; the pixels always come from the image as it was before.
#pragma once

#include "image/ImageFilter.h"
#include "image/ImageRect.h"

#include <cstdint>

class CRegionCopyFilter : public CImageFilter {
public:
    // fillColour is a COLORREF (0x00BBGGRR). copyFlag 0 means a move.
    CRegionCopyFilter(const ImageRect& vacated, const ImageRect& source,
                      const ImageRect& destination, int copyFlag, std::uint32_t fillColour,
                      CProgressSink* pProgress = nullptr)
        : CImageFilter(pProgress), m_rcVacated(vacated.Normalized()),
          m_rcSource(source.Normalized()), m_rcDestination(destination.Normalized()),
          m_nCopy(copyFlag), m_crFill(fillColour) {}

    // Destination at the source's depth, palette and alpha flag. The copied block is
    // min(width of destination, width of vacated) x min(heights) pixels from source.left/top
    // to destination.left/top; parts outside the image are left out.
    void Apply(const CImageBitmap& source, CImageBitmap& destination) override;

private:
    ImageRect m_rcVacated;
    ImageRect m_rcSource;
    ImageRect m_rcDestination;
    int m_nCopy;
    std::uint32_t m_crFill;
};
