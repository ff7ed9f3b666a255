// SPDX-License-Identifier: MIT
// Reader of portable greymaps: P2 (decimal samples) and P5 (binary samples, one byte each, or
// two bytes most significant first when the maximum value passes 255).
#pragma once

#include "codecs/ImageDecoder.h"

class CPGMDecoder : public CImageDecoder {
public:
    // Throws CTextException: 2 not P2 or P5, 7 damaged data, 10 too large, 11 end of data.
    void Decode(CDataSource& source, CImageBitmap& bitmap, int depth) override;
};
