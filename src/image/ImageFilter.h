// SPDX-License-Identifier: MIT
// Base of the image operations: a filter is built with its parameters and a progress receiver,
// then applied to bitmaps any number of times.
#pragma once

#include "image/ImageObject.h"

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

private:
    CProgressSink* m_pProgress; // not owned, may be null
};
