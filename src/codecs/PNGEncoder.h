// SPDX-License-Identifier: MIT
// PNG writer on libpng: 1 bpp as grey (or a two-colour palette), 4 and 8 bpp with their
// palette, 24 and 32 bpp as RGB, or RGBA when the alpha flag is set.
#pragma once

#include "codecs/PictureEncoder.h"

class CPNGEncoder : public CPictureEncoder {
public:
    // Threads for large 32-bpp images (codec/PngBands.h); 0, the default, takes one per core
    // and 1 writes through libpng alone.
    void SetThreadCount(unsigned threads) noexcept { m_threads = threads; }

protected:
    // Library errors become CTextException 6 with the library's text.
    void Encode(const CImageBitmap& bitmap, std::vector<std::uint8_t>& out) override;

private:
    unsigned m_threads = 0;
};
