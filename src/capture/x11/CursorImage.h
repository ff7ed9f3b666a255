// SPDX-License-Identifier: MIT
// The pointer's current image (XFixes) and its premultiplied blend into a grabbed bitmap; the
// screen itself is never drawn on.
#pragma once

#include "capture/CaptureGeometry.h"
#include "capture/x11/X11Connection.h"
#include "image/ImageBitmap.h"

#include <cstdint>
#include <optional>
#include <vector>

struct CursorImage {
    capture::Point ptPointer; // pointer position, root coordinates
    capture::Point ptHotSpot; // hot spot inside the image
    int nWidth = 0;
    int nHeight = 0;
    std::vector<std::uint32_t> argb; // premultiplied 0xAARRGGBB, rows top-down

    // Where the image's top-left corner lies in root coordinates.
    capture::Point TopLeft() const noexcept { return ptPointer - ptHotSpot; }
};

namespace capture {

// The pointer image now shown, or empty when XFixes is missing or the server fails.
std::optional<CursorImage> FetchCursorImage(const CX11Connection& conn);

// Blends the cursor over a 32-bpp bitmap whose top-left pixel is root point `origin`:
// result = cursor + pixel * (255 - alpha) / 255, rounded, per channel. Parts outside the bitmap
// are skipped. False for other depths.
bool BlendCursor(CImageBitmap& bmp, Point origin, const CursorImage& cursor);

} // namespace capture
