// SPDX-License-Identifier: MIT
// TIFF reader on libtiff: palette and bilevel images at 8 bpp, every other kind at 32 bpp
// through the library's RGBA reading, with the alpha flag when the file has extra samples.
#pragma once

#include "codecs/ImageDecoder.h"

class CTiffMemoryStream;
typedef struct tiff TIFF;

class CTIFFDecoder : public CImageDecoder {
public:
    // Decodes the first image of the file. Throws CTextException 6 with the library's text for
    // damaged or unsupported data, 10 for sizes past the limits.
    void Decode(CDataSource& source, CImageBitmap& bitmap, int depth) override;

private:
    // Palette and bilevel strips, one scanline at a time, as palette indexes.
    void DoLoColor(TIFF* tif, CTiffMemoryStream& stream, CImageBitmap& bitmap, int depth);
    // 8-bit colour or grey with straight (unassociated) alpha, kept as stored.
    void DoStraightAlpha(TIFF* tif, CTiffMemoryStream& stream, CImageBitmap& bitmap);
    void DoRgba(TIFF* tif, CTiffMemoryStream& stream, CImageBitmap& bitmap);
};
