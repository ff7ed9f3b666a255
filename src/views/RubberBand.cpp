// SPDX-License-Identifier: MIT
// The rubber band of a selection.
#include "views/RubberBand.h"

void CRubberBand::Begin(ImagePoint ptAnchor, const ImageRect& rcBounds) noexcept {
    m_bActive = true;
    m_ptAnchor = ptAnchor;
    m_ptCurrent = ptAnchor;
    m_rcBounds = rcBounds;
}

ImageRect CRubberBand::MoveTo(ImagePoint pt) noexcept {
    const ImageRect rcOld = Rect();
    m_ptCurrent = pt;
    return rcOld;
}

ImageRect CRubberBand::Rect() const noexcept {
    const ImageRect rc =
        ImageRect{m_ptAnchor.x, m_ptAnchor.y, m_ptCurrent.x, m_ptCurrent.y}.Normalized();
    return views::Intersect(rc, m_rcBounds);
}
