// SPDX-License-Identifier: MIT
// Draws part of an image bitmap through a QPainter straight from the bitmap's rows: 32-bpp
// pixels are wrapped, never copied; other depths convert only the rows being drawn.
#pragma once

#include <QImage>
#include <QRect>

class CImageBitmap;
class QPainter;

class CBitmapPainter {
public:
    // Draws the pixels of rcImage (clipped to the bitmap) at the same coordinates of the painter,
    // whose transform maps image pixels to the device. Nearest-neighbour sampling, opaque.
    static void Draw(QPainter& painter, const CImageBitmap& bitmap, const QRect& rcImage);

    // A QImage over the bitmap's memory in memory order (line 0 at the lowest address, so the
    // picture is upside down for bottom-up bitmaps), for 1, 8, 24 and 32 bpp; a null image for
    // other depths. It shares the bitmap's pixels and must not outlive them.
    static QImage WrapRows(const CImageBitmap& bitmap);
};
