// SPDX-License-Identifier: MIT
// TIFF writer on libtiff, uncompressed: 1 bpp bilevel, 4 and 8 bpp with a colour map, deeper
// images as 8-bit RGB.
#pragma once

#include "codecs/PictureEncoder.h"

class CTIFFEncoder : public CPictureEncoder {
protected:
    // Library errors become CTextException 6 with the library's text.
    void Encode(const CImageBitmap& bitmap, std::vector<std::uint8_t>& out) override;
};
