// SPDX-License-Identifier: MIT
// PNG reader on libpng 1.6: palette and grey files give 8 bpp, RGB 32 bpp, files with alpha
// (alpha channel or tRNS) carry the alpha flag.
#pragma once

#include "codecs/ImageDecoder.h"

class CPNGDecoder : public CImageDecoder {
public:
    // Throws CTextException 6 with the library's text for damaged data, 11 for data cut short,
    // 10 for sizes past the limits.
    void Decode(CDataSource& source, CImageBitmap& bitmap, int depth) override;
};
