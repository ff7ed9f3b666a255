// SPDX-License-Identifier: MIT
// Pastes a rectangle of another bitmap into the image.
#pragma once

#include "image/DibSectionBitmap.h"
#include "image/ImageFilter.h"
#include "image/ImageRect.h"

class CPasteFilter : public CImageFilter {
public:
    // Keeps its own copy of pasted, at the pasted bitmap's depth. sourceRect is in pasted,
    // destinationRect in the image.
    CPasteFilter(const CImageBitmap& pasted, const ImageRect& sourceRect,
                 const ImageRect& destinationRect, CProgressSink* pProgress = nullptr);

    // Destination is a copy of source with rows sourceRect.top.. of the pasted bitmap written
    // at destinationRect.top.., min(width of sourceRect, width of destinationRect) pixels from
    // sourceRect.left to destinationRect.left. Parts outside either bitmap are left out. The
    // pasted pixels take the image's format: true colour through the pasted palette, palette
    // images the nearest entry of their own palette (indices as they are when both palettes
    // are the same).
    void Apply(const CImageBitmap& source, CImageBitmap& destination) override;

    const CImageBitmap& Pasted() const noexcept { return m_pasted; }

private:
    CDibSectionBitmap m_pasted;
    ImageRect m_rcSource;
    ImageRect m_rcDestination;
};
