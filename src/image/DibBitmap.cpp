// SPDX-License-Identifier: MIT
#include "image/DibBitmap.h"

#include <cstring>

CDibBitmap::CDibBitmap() {
    Create(16, 16, 8);
}

std::size_t CDibBitmap::HeaderBlockBytes(int depth) noexcept {
    const std::size_t paletteBytes = depth <= 15 ? (std::size_t(1) << depth) * sizeof(RGBQuad) : 0;
    return sizeof(BitmapInfoHeader) + paletteBytes;
}

void CDibBitmap::FillHeader(BitmapInfoHeader& header, int width, int height, int depth) noexcept {
    header = BitmapInfoHeader{};
    header.biWidth = width;
    header.biHeight = height;
    header.biBitCount = static_cast<std::uint16_t>(depth);
    header.biSizeImage =
        static_cast<std::uint32_t>(DibRowBytes(width, depth) * std::size_t(height));
}

void CDibBitmap::ClearRowPadding(std::uint8_t* bits, int width, int height, int depth) noexcept {
    // Padding is never pixel data, but it travels to files and the clipboard: keep it zero.
    const std::size_t stride = DibRowBytes(width, depth);
    const std::size_t used = PackedRowBytes(width, depth);
    if (used == stride)
        return;
    for (int y = 0; y < height; ++y)
        std::memset(bits + std::size_t(y) * stride + used, 0, stride - used);
}

void CDibBitmap::Allocate(int width, int height, int depth) {
    CheckSize(width, height, depth, DibRowBytes(width, depth));
    const std::size_t headerBytes = HeaderBlockBytes(depth);
    auto block = img::AllocateBytes(headerBytes + DibRowBytes(width, depth) * std::size_t(height));
    m_block = std::move(block);
    m_pHeader = reinterpret_cast<BitmapInfoHeader*>(m_block.get());
    FillHeader(*m_pHeader, width, height, depth);
    m_pPalette =
        depth <= 8 ? reinterpret_cast<RGBQuad*>(m_block.get() + sizeof(BitmapInfoHeader)) : nullptr;
    m_pBits = m_block.get() + headerBytes;
    ClearRowPadding(m_pBits, width, height, depth);
}

void CDibBitmap::Free() noexcept {
    m_block.reset();
    m_pHeader = nullptr;
    m_pPalette = nullptr;
    m_pBits = nullptr;
}

void CDibBitmap::SwapBlocks(CImageBitmap& other) noexcept {
    auto& peer = static_cast<CDibBitmap&>(other);
    std::swap(m_block, peer.m_block);
    std::swap(m_pHeader, peer.m_pHeader);
}

std::size_t CDibBitmap::MemoryUsed() const noexcept {
    return HeaderBlockBytes(Depth()) + std::size_t(Height()) * BytesPerLine() + sizeof(*this);
}

std::unique_ptr<CImageBitmap> CDibBitmap::CreateEmptyLike() const {
    return std::make_unique<CDibBitmap>();
}

std::vector<std::uint8_t> CDibBitmap::ToPackedDib() const {
    const std::size_t paletteBytes = std::size_t(PaletteSize()) * sizeof(RGBQuad);
    const std::size_t pixelBytes = BytesPerLine() * std::size_t(Height());
    std::vector<std::uint8_t> dib(sizeof(BitmapInfoHeader) + paletteBytes + pixelBytes);
    std::memcpy(dib.data(), m_pHeader, sizeof(BitmapInfoHeader) + paletteBytes);
    std::memcpy(dib.data() + sizeof(BitmapInfoHeader) + paletteBytes, m_pBits, pixelBytes);
    return dib;
}
