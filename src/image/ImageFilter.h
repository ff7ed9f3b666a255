// SPDX-License-Identifier: MIT
// Base of the image operations: a filter is built with its parameters and a progress receiver,
// then applied to bitmaps any number of times.
#pragma once

#include "image/ImageObject.h"

#include <functional>

class CImageBitmap;
class CProgressSink;

class CImageFilter : public CImageObject {
public:
    explicit CImageFilter(CProgressSink* pProgress = nullptr) : m_pProgress(pProgress) {}

    // Replaces bitmap's image by the result; the bitmap object keeps its identity.
    virtual void ApplyInPlace(CImageBitmap& bitmap);
    // (Re)creates destination with the result; reads only source.
    virtual void Apply(const CImageBitmap& source, CImageBitmap& destination) = 0;

    CProgressSink* ProgressSink() const noexcept { return m_pProgress; }

protected:
    void ReportProgress(double fraction) const;
    // For filters that can change a 32-bpp bitmap where it lies: rowStep(y) for y below rows,
    // with progress from 0.05, then the alpha flag cleared as Apply's results have it. False,
    // doing nothing, for other depths (those go through Apply).
    bool ChangeRowsInPlace(CImageBitmap& bitmap, int rows, const std::function<void(int)>& rowStep);

private:
    CProgressSink* m_pProgress; // not owned, may be null
};
