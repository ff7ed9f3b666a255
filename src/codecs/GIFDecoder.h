// SPDX-License-Identifier: MIT
// GIF reader on giflib 5: the first image, on the file's logical screen, at 8 bpp; a
// transparent colour becomes a palette entry whose fourth byte is 0.
#pragma once

#include "codecs/ImageDecoder.h"

class CGIFDecoder : public CImageDecoder {
public:
    // Throws CTextException 6 with the library's text for damaged data, 7 for a file without an
    // image, 11 for data cut short, 10 for sizes past the limits.
    void Decode(CDataSource& source, CImageBitmap& bitmap, int depth) override;
};
