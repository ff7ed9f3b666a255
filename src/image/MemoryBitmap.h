// SPDX-License-Identifier: MIT
// Bitmap for filter temporaries: top-down rows without padding in one block, palette apart.
#pragma once

#include "image/ImageBitmap.h"

class CMemoryBitmap : public CImageBitmap {
public:
    CMemoryBitmap();

    bool IsBottomUp() const noexcept override { return false; }
    std::size_t BytesPerLine() const noexcept override { return PixelBytesPerLine(); }
    std::size_t MemoryUsed() const noexcept override;
    std::unique_ptr<CImageBitmap> CreateEmptyLike() const override;

protected:
    void Allocate(int width, int height, int depth) override;
    void Free() noexcept override;
    void SwapBlocks(CImageBitmap& other) noexcept override;

private:
    static constexpr std::size_t kPaletteBlockBytes = 256 * sizeof(RGBQuad);
    img::ByteBlock m_pixelBlock;
    std::unique_ptr<RGBQuad[]> m_paletteBlock;
};
