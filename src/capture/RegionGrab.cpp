// SPDX-License-Identifier: MIT
// Capture regions copied from a frozen screen or grabbed live, then shaped.
#include "capture/RegionGrab.h"

#include "capture/RegionMask.h"
#include "capture/x11/ScreenGrabber.h"
#include "image/TextException.h"

#include <algorithm>
#include <cstring>

namespace capture {
namespace {

bool Prepare(CImageBitmap& out, const Rect& rc) {
    if (rc.IsEmpty() || rc.Width() > CImageBitmap::kMaxSide || rc.Height() > CImageBitmap::kMaxSide)
        return false;
    try {
        if (out.Width() != rc.Width() || out.Height() != rc.Height() || out.Depth() != 32 ||
            out.HasAlpha())
            out.Create(rc.Width(), rc.Height(), 32);
    } catch (const CTextException&) {
        return false;
    }
    return true;
}

void FillAll(CImageBitmap& out, RGBQuad fill) {
    for (int y = 0; y < out.Height(); ++y)
        std::fill(out.Row<RGBQuad>(y), out.Row<RGBQuad>(y) + out.Width(), fill);
}

} // namespace

bool CopyRegion(const CImageBitmap& screen, Point screenOrigin, const CaptureRegion& region,
                RGBQuad fill, CImageBitmap& out) {
    if (screen.Depth() != 32 || !Prepare(out, region.rc))
        return false;
    const Rect onScreen = region.rc.Intersect(
        Rect::FromSize(screenOrigin.x, screenOrigin.y, screen.Width(), screen.Height()));
    if (onScreen.IsEmpty() || onScreen != region.rc || region.nShapePoints == 1)
        FillAll(out, fill); // only what the screen covers is copied below
    if (region.nShapePoints != 1 && !onScreen.IsEmpty()) {
        const std::size_t cb = std::size_t(onScreen.Width()) * sizeof(RGBQuad);
        for (int y = onScreen.top; y < onScreen.bottom; ++y)
            std::memcpy(out.Row<RGBQuad>(y - region.rc.top) + (onScreen.left - region.rc.left),
                        screen.Row<RGBQuad>(y - screenOrigin.y) + (onScreen.left - screenOrigin.x),
                        cb);
    }
    return ApplyRegionShape(out, region.nShapePoints, region.points, fill);
}

bool GrabRegion(CScreenGrabber& grabber, const CaptureRegion& region, RGBQuad fill,
                CImageBitmap& out) {
    if (region.nShapePoints == 1) { // nothing of the screen is kept: no need to ask the server
        if (!Prepare(out, region.rc))
            return false;
        FillAll(out, fill);
        return true;
    }
    return grabber.Grab(region.rc, out, fill) &&
           ApplyRegionShape(out, region.nShapePoints, region.points, fill);
}

} // namespace capture
