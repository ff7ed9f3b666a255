// SPDX-License-Identifier: MIT
// Reader of Windows bitmaps: 1, 4, 8 bits with a colour table (4 and 8 also run-length
// compressed), 16 and 32 bits with or without colour masks, 24 bits; bottom-up or top-down rows.
#pragma once

#include "codecs/ImageDecoder.h"

class CBMPDecoder : public CImageDecoder {
public:
    // Throws CTextException: 1 not a bitmap, 2 header size / bit count / compression not
    // handled, 6 delta escape, 7 damaged data, 10 too large, 11 end of data.
    void Decode(CDataSource& source, CImageBitmap& bitmap, int depth) override;
};
