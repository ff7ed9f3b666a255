// SPDX-License-Identifier: MIT
// Reader for Windows metafiles (WMF and EMF share it): the picture is drawn into a 32-bpp
// bitmap with the alpha flag, transparent where nothing is drawn.
#pragma once

#include "codecs/ImageDecoder.h"

class CMetafileDecoder : public CImageDecoder {
public:
    // Tells WMF from EMF by their headers. Throws CTextException 1 "No header information in
    // metafile" for data that is neither, 7 when the library cannot draw it.
    void Decode(CDataSource& source, CImageBitmap& bitmap, int depth) override;
};
