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
    // What a bitmap's alpha does when it is drawn: nothing (the colours as stored, opaque), or
    // blending over what the device shows (screen painting only; other devices get it opaque).
    enum class EAlpha { Ignore, Blend };

    // Draws the pixels of rcImage (clipped to the bitmap) at the same coordinates of the painter,
    // whose transform maps image pixels to the device. Nearest-neighbour sampling.
    static void Draw(QPainter& painter, const CImageBitmap& bitmap, const QRect& rcImage,
                     EAlpha alpha = EAlpha::Ignore);

    // Whether the bitmap has transparent pixels to show: 32 bpp with the alpha flag.
    static bool HasTransparency(const CImageBitmap& bitmap) noexcept;
    // Fills rcDevice with the checkerboard transparent pixels show over: squares of 8 device
    // pixels in two greys, counted from the device's origin, so that they stay put on the
    // screen. The painter's transform must map one unit to one device pixel.
    static void FillChecker(QPainter& painter, const QRect& rcDevice);

    // A QImage over the bitmap's memory in memory order (line 0 at the lowest address, so the
    // picture is upside down for bottom-up bitmaps), for 1, 8, 24 and 32 bpp; a null image for
    // other depths. It shares the bitmap's pixels and must not outlive them.
    static QImage WrapRows(const CImageBitmap& bitmap);
};
