// SPDX-License-Identifier: MIT
// Reader of Truevision TGA files: colour-mapped, true-colour and grey images (types 1, 2, 3),
// also run-length compressed (9, 10, 11); 8, 15, 16, 24 and 32-bit pixels, any row order.
#pragma once

#include "codecs/ImageDecoder.h"

class CTGADecoder : public CImageDecoder {
public:
    // Throws CTextException: 2 image type, pixel size or colour map not handled, 7 damaged
    // data, 10 too large, 11 end of data.
    void Decode(CDataSource& source, CImageBitmap& bitmap, int depth) override;
};
