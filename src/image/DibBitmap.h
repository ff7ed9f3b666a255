// SPDX-License-Identifier: MIT
// Device-independent bitmap in one block: 40-byte header, palette, then bottom-up rows padded
// to 4 bytes, exactly the packed-DIB layout of the clipboard and of BMP files.
#pragma once

#include "image/ImageBitmap.h"

class CDibBitmap : public CImageBitmap {
public:
    CDibBitmap();

    bool IsBottomUp() const noexcept override { return true; }
    std::size_t BytesPerLine() const noexcept override { return DibRowBytes(Width(), Depth()); }
    std::size_t MemoryUsed() const noexcept override;
    std::unique_ptr<CImageBitmap> CreateEmptyLike() const override;
    std::vector<std::uint8_t> ToPackedDib() const override;

    const BitmapInfoHeader& Header() const noexcept { return *m_pHeader; }

protected:
    // For subclasses that keep header and palette apart from the pixels.
    struct SeparateBlocksTag {};
    explicit CDibBitmap(SeparateBlocksTag) {}

    void Allocate(int width, int height, int depth) override;
    void Free() noexcept override;
    void SwapBlocks(CImageBitmap& other) noexcept override;

    // Header plus palette, the part every DIB class keeps in front of its pixels.
    static std::size_t HeaderBlockBytes(int depth) noexcept;
    static void FillHeader(BitmapInfoHeader& header, int width, int height, int depth) noexcept;
    static void ClearRowPadding(std::uint8_t* bits, int width, int height, int depth) noexcept;

    BitmapInfoHeader* m_pHeader = nullptr;

private:
    img::ByteBlock m_block;
};
