// SPDX-License-Identifier: MIT
// Cutting a capture to its shape: the pixels outside an ellipse or polygon get a fill colour.
#pragma once

#include "capture/CaptureGeometry.h"
#include "image/ImageBitmap.h"

#include <span>

namespace capture {

enum class FillRule {
    Alternate, // inside where a ray crosses the outline an odd number of times
    Winding,   // inside where the outline winds around the point a non-zero number of times
};

// A pixel belongs to a shape when its centre (x + 0.5, y + 0.5) lies inside it; a centre exactly
// on a left edge is inside, on a right edge outside. So the polygon (0,0) (w,0) (w,h) (0,h) covers
// exactly the w x h pixels, as a rectangle does.

// Fills every pixel of a 32-bpp bitmap outside the ellipse inscribed in (0, 0, width, height).
// Returns false (and changes nothing) for other depths.
bool FillOutsideEllipse(CImageBitmap& bmp, RGBQuad fill);

// Fills every pixel of a 32-bpp bitmap outside the polygon (bitmap coordinates; vertices may lie
// outside the bitmap). Fewer than 3 vertices enclose nothing, so everything is filled.
bool FillOutsidePolygon(CImageBitmap& bmp, std::span<const Point> vertices, FillRule rule,
                        RGBQuad fill);

// Applies a capture region's shape to its grabbed bitmap: 0 points keeps everything, 1 fills
// everything, 2 keeps the inscribed ellipse, 3 or more keep the polygon of the first
// nShapePoints vertices with the winding rule.
bool ApplyRegionShape(CImageBitmap& bmp, int nShapePoints, std::span<const Point> vertices,
                      RGBQuad fill);

} // namespace capture
