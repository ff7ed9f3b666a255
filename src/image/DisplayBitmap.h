// SPDX-License-Identifier: MIT
// The document's image. The views paint it straight from its rows (Bits(), BytesPerLine(),
// IsBottomUp()); drawing lives with the views, not here.
#pragma once

#include "image/DibSectionBitmap.h"

class CDisplayBitmap : public CDibSectionBitmap {
public:
    CDisplayBitmap();

    std::unique_ptr<CImageBitmap> CreateEmptyLike() const override;
};
