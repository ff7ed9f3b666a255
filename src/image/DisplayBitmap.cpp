// SPDX-License-Identifier: MIT
#include "image/DisplayBitmap.h"

CDisplayBitmap::CDisplayBitmap() : CDibSectionBitmap(NoInitTag{}) {
    Create(16, 16, 8);
}

std::unique_ptr<CImageBitmap> CDisplayBitmap::CreateEmptyLike() const {
    return std::make_unique<CDisplayBitmap>();
}
