// SPDX-License-Identifier: MIT
// Reader of Mac PICT pictures, versions 1 and 2: the bitmap opcodes (BitsRect, BitsRgn,
// PackBitsRect, PackBitsRgn, DirectBitsRect, DirectBitsRgn) drawn into the picture frame; the
// vector opcodes are skipped by their lengths.
#pragma once

#include "codecs/ImageDecoder.h"

class CPictDecoder : public CImageDecoder {
public:
    // Throws CTextException: 1 no version opcode, 2 unknown version, 6 nothing but vector data
    // or a QuickTime-compressed image, 7 damaged data, 10 too large, 11 end of data.
    void Decode(CDataSource& source, CImageBitmap& bitmap, int depth) override;
};
