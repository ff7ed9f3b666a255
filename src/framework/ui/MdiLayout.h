// SPDX-License-Identifier: MIT
// Where image windows go in the workspace: cascading, the place of a new window, tiling beside
// the row of minimised windows, and that row along the bottom edge. Geometry only, in the
// workspace's coordinates.
#pragma once

#include <QPoint>
#include <QRect>
#include <QSize>

#include <vector>

namespace mdi {

// Cascading steps down and right by nStep (a title bar with its frame) until the next window would
// be smaller than half the area, then starts again at the top left corner.
int CascadeSteps(const QRect& area, int nStep);
// nCount windows, the first at the back: each as large as the area less the steps the cascade
// takes, so the last one (in front) fits exactly in the bottom right corner.
std::vector<QRect> CascadeRects(const QRect& area, int nCount, int nStep);
// A window opening beside nOpen others takes the next place of a cascade, at its own size (cut to
// what is left of the area).
QRect NewWindowRect(const QRect& area, int nOpen, int nStep, const QSize& size);

// Minimised windows in rows along the bottom edge, left to right, the next row above when one is
// full; the top left corner of each.
std::vector<QPoint> IconPositions(const QRect& area, const std::vector<QSize>& icons);
// What is left of the area above the rows of minimised windows, for tiling and cascading, so
// that those stay in sight.
QRect AreaAboveIcons(const QRect& area, const std::vector<QSize>& icons);

} // namespace mdi
