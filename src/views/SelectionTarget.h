// SPDX-License-Identifier: MIT
// What the selection editor needs of the image window it edits: the image's size, the document
// commands a selection leads to, the clipboard, and repaints. Image coordinates throughout;
// right and bottom are exclusive.
#pragma once

#include "image/ImageRect.h"

class CImageBitmap;

class ISelectionTarget {
public:
    virtual ~ISelectionTarget() = default;

    // The image's width and height as a rectangle at (0, 0); empty without an image.
    virtual ImageRect ImageBounds() const = 0;

    // One undoable step each; the document tells its views afterwards.
    // The pixels of source go to destination (cut to the image); when moving, vacated is filled
    // with the image background colour first. An empty destination only fills.
    virtual void MoveRegion(const ImageRect& rcVacated, const ImageRect& rcSource,
                            const ImageRect& rcDestination, bool bCopy) = 0;
    // The part rcSource of bitmap goes to rcDestination of the image.
    virtual void PasteBitmap(const CImageBitmap& bitmap, const ImageRect& rcSource,
                             const ImageRect& rcDestination) = 0;
    // Crops the image to rc (inside the image, not empty).
    virtual void Crop(const ImageRect& rc) = 0;
    // Puts the pixels of rc (inside the image) on the clipboard; false when that failed.
    virtual bool CopyToClipboard(const ImageRect& rc) = 0;

    // Repaints: the pixels of rc; only the outline drawn one pixel outside rc; everything.
    virtual void InvalidateImage(const ImageRect& rc) = 0;
    virtual void InvalidateOutline(const ImageRect& rc) = 0;
    virtual void InvalidateAll(bool bErase) = 0;
};
