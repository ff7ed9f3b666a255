// SPDX-License-Identifier: MIT
// Windows bitmap writer: uncompressed, bottom-up; 1, 4 and 8 bpp with their palette, deeper
// images as 24-bit pixels.
#pragma once

#include "codecs/PictureEncoder.h"

class CBMPEncoder : public CPictureEncoder {
protected:
    void Encode(const CImageBitmap& bitmap, std::vector<std::uint8_t>& out) override;
    void Stream(const CImageBitmap& bitmap, const ByteSink& put) override;
};
