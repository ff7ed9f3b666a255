// SPDX-License-Identifier: MIT
// JPEG writer on libjpeg-turbo with the user's options: quality (baseline tables forced),
// optimised Huffman coding, smoothing, floating-point DCT and density in dots per inch.
#pragma once

#include "codecs/PictureEncoder.h"

struct JpegOptions {
    int nQuality = 95;      // 1..100; 0 keeps the library's default
    bool bOptimize = false; // optimised Huffman tables
    int nSmoothing = 0;     // 0..100
    int nDensityX = 0;      // dots per inch; both 0 writes no density
    int nDensityY = 0;
};

class CJPEGEncoder : public CPictureEncoder {
public:
    void SetOptions(const JpegOptions& options) noexcept { m_options = options; }
    const JpegOptions& Options() const noexcept { return m_options; }

protected:
    // Library errors become CTextException 6 with the library's text.
    void Encode(const CImageBitmap& bitmap, std::vector<std::uint8_t>& out) override;

private:
    JpegOptions m_options;
};
