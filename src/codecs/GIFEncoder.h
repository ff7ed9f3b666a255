// SPDX-License-Identifier: MIT
// GIF writer on giflib: the colours are reduced to at most 256 with the library's quantiser.
#pragma once

#include "codecs/PictureEncoder.h"

class CGIFEncoder : public CPictureEncoder {
protected:
    // Library failures become CTextException 6 with the library's text.
    void Encode(const CImageBitmap& bitmap, std::vector<std::uint8_t>& out) override;
};
