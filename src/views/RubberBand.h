// SPDX-License-Identifier: MIT
// CRubberBand: the rectangle a press-drag-release draws, from the press point to the pointer,
// cut to the image.
#pragma once

#include "views/ImagePoint.h"

class CRubberBand {
public:
    void Begin(ImagePoint ptAnchor, const ImageRect& rcBounds) noexcept;
    void End() noexcept { m_bActive = false; }
    bool IsActive() const noexcept { return m_bActive; }

    // Follows the pointer; returns the band as it was before, for repainting.
    ImageRect MoveTo(ImagePoint pt) noexcept;
    // The band now: normalised, cut to the image; empty for a click without a drag or a band
    // drawn wholly outside the image.
    ImageRect Rect() const noexcept;

private:
    bool m_bActive = false;
    ImagePoint m_ptAnchor;
    ImagePoint m_ptCurrent;
    ImageRect m_rcBounds;
};
