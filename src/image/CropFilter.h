// SPDX-License-Identifier: MIT
// Crop to a rectangle (right and bottom exclusive).
#pragma once

#include "image/ImageFilter.h"
#include "image/ImageRect.h"

class CCropFilter : public CImageFilter {
public:
    CCropFilter(int left, int right, int top, int bottom, CProgressSink* pProgress = nullptr)
        : CImageFilter(pProgress), m_rect(ImageRect{left, top, right, bottom}.Normalized()) {}

    // Destination (right - left) x (bottom - top) at the source's depth, palette and alpha flag.
    // Callers keep the rectangle inside the image; a rectangle reaching outside is cut to it.
    void Apply(const CImageBitmap& source, CImageBitmap& destination) override;

    const ImageRect& Rect() const noexcept { return m_rect; }

private:
    ImageRect m_rect;
};
