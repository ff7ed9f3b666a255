// SPDX-License-Identifier: MIT
// A capture region turned into pixels: copied out of a frozen screen image, or grabbed live,
// then cut to its shape with the transparency colour around it.
#pragma once

#include "capture/CaptureRegion.h"
#include "image/ImageBitmap.h"

class CScreenGrabber;

namespace capture {

// Makes `out` a 32-bpp bitmap of region.rc's size holding the pixels of `screen` (a 32-bpp image
// whose top-left pixel is root point screenOrigin) inside the region's shape and `fill`
// everywhere else, including parts of the rectangle the screen image does not cover.
// False for an empty rectangle or a screen of another depth (`out` untouched) and when memory
// runs out.
bool CopyRegion(const CImageBitmap& screen, Point screenOrigin, const CaptureRegion& region,
                RGBQuad fill, CImageBitmap& out);

// The same straight from the X server.
bool GrabRegion(CScreenGrabber& grabber, const CaptureRegion& region, RGBQuad fill,
                CImageBitmap& out);

} // namespace capture
