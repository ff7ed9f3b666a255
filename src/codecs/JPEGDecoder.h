// SPDX-License-Identifier: MIT
// JPEG reader on libjpeg-turbo: greyscale files give 8 bpp with the grey palette, colour and
// CMYK files 32 bpp.
#pragma once

#include "codecs/ImageDecoder.h"

class CJPEGDecoder : public CImageDecoder {
public:
    // Throws CTextException 6 with the library's text for damaged data, 10 for sizes past the
    // limits.
    void Decode(CDataSource& source, CImageBitmap& bitmap, int depth) override;
};
