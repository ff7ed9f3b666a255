// SPDX-License-Identifier: MIT
// Dragging a block of pixels.
#include "views/BlockDrag.h"

void CBlockDrag::Begin(EKind kind, const ImageRect& rcSource, ImagePoint ptPress,
                       bool bCopy) noexcept {
    m_kind = kind;
    m_rcSource = rcSource;
    m_bCopy = bCopy;
    m_ptBlock = {rcSource.left, rcSource.top};
    m_ptLast = ptPress;
}

ImageRect CBlockDrag::Block() const noexcept {
    return {m_ptBlock.x, m_ptBlock.y, m_ptBlock.x + m_rcSource.Width(),
            m_ptBlock.y + m_rcSource.Height()};
}

ImagePoint CBlockDrag::Displacement() const noexcept {
    return {m_ptBlock.x - m_rcSource.left, m_ptBlock.y - m_rcSource.top};
}

std::optional<CBlockDrag::Step> CBlockDrag::MoveTo(ImagePoint pt,
                                                   const ImageRect& rcBounds) noexcept {
    if (m_kind == EKind::None || pt == m_ptLast)
        return std::nullopt;
    const int dx = pt.x - m_ptLast.x;
    const int dy = pt.y - m_ptLast.y;
    const ImageRect rcOld = views::Inflate(Block(), 1 + kRepaintMargin);
    m_ptBlock = {m_ptBlock.x + dx, m_ptBlock.y + dy};
    m_ptLast = pt;
    return Step{views::Intersect(rcOld, rcBounds),
                views::Intersect(views::Offset(rcOld, dx, dy), rcBounds), dx, dy};
}
