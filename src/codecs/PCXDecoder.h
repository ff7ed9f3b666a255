// SPDX-License-Identifier: MIT
// Reader of ZSoft PCX files: 1 bit with up to 4 planes, 2, 4 and 8 bits with one plane, and
// 8 bits with 3 planes (red, green, blue); always a 32-bpp result.
#pragma once

#include "codecs/ImageDecoder.h"

class CPCXDecoder : public CImageDecoder {
public:
    // Throws CTextException: 1 not PCX or not run-length encoded, 2 layout not handled, 7
    // damaged data, 10 too large, 11 end of data.
    void Decode(CDataSource& source, CImageBitmap& bitmap, int depth) override;
};
