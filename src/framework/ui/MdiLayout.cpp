// SPDX-License-Identifier: MIT
// Where image windows go in the workspace.
#include "framework/ui/MdiLayout.h"

#include <algorithm>

namespace mdi {

int CascadeSteps(const QRect& area, int nStep) {
    if (nStep <= 0)
        return 0;
    return std::max(0, std::min(area.width() / 2, area.height() / 2) / nStep);
}

std::vector<QRect> CascadeRects(const QRect& area, int nCount, int nStep) {
    std::vector<QRect> rects;
    if (nCount <= 0)
        return rects;
    const int nSteps = CascadeSteps(area, nStep);
    const int nUsed = std::min(nCount - 1, nSteps);
    const QSize size(area.width() - nUsed * nStep, area.height() - nUsed * nStep);
    rects.reserve(std::size_t(nCount));
    for (int i = 0; i < nCount; ++i) {
        const int k = i % (nSteps + 1);
        rects.emplace_back(area.topLeft() + QPoint(k * nStep, k * nStep), size);
    }
    return rects;
}

QRect NewWindowRect(const QRect& area, int nOpen, int nStep, const QSize& size) {
    const int nSteps = CascadeSteps(area, nStep);
    const int k = std::max(0, nOpen) % (nSteps + 1);
    const QPoint topLeft = area.topLeft() + QPoint(k * nStep, k * nStep);
    const QSize fit(std::min(size.width(), area.right() + 1 - topLeft.x()),
                    std::min(size.height(), area.bottom() + 1 - topLeft.y()));
    return {topLeft, fit};
}

std::vector<QPoint> IconPositions(const QRect& area, const std::vector<QSize>& icons) {
    std::vector<QPoint> positions;
    positions.reserve(icons.size());
    int nLeft = area.left(), nBottom = area.bottom() + 1, nRowHeight = 0;
    for (const QSize& icon : icons) {
        if (nLeft > area.left() && nLeft + icon.width() > area.right() + 1) {
            nBottom -= nRowHeight; // the row is full: the next one goes above it
            nLeft = area.left();
            nRowHeight = 0;
        }
        positions.emplace_back(nLeft, nBottom - icon.height());
        nLeft += icon.width();
        nRowHeight = std::max(nRowHeight, icon.height());
    }
    return positions;
}

QRect AreaAboveIcons(const QRect& area, const std::vector<QSize>& icons) {
    if (icons.empty())
        return area;
    int nTop = area.bottom() + 1;
    const std::vector<QPoint> positions = IconPositions(area, icons);
    for (const QPoint& pt : positions)
        nTop = std::min(nTop, pt.y());
    QRect above = area;
    above.setBottom(std::max(area.top(), nTop - 1));
    return above;
}

} // namespace mdi
