// SPDX-License-Identifier: MIT
// The region a capture takes: a rectangle of the root window plus the shape cut out of it.
#pragma once

#include "capture/CaptureGeometry.h"

#include <vector>

namespace capture {

struct CaptureRegion {
    // Root coordinates; the grabbed bitmap has this size.
    Rect rc;
    // 0 the whole rectangle; 1 nothing (the bitmap stays filled); 2 the ellipse inscribed in
    // the rectangle; 3 or more the polygon of `points`.
    int nShapePoints = 0;
    // Polygon vertices relative to rc's top-left corner, nShapePoints of them when >= 3.
    std::vector<Point> points;

    friend bool operator==(const CaptureRegion&, const CaptureRegion&) = default;
};

} // namespace capture
