// SPDX-License-Identifier: MIT
#include "image/MemoryBitmap.h"

CMemoryBitmap::CMemoryBitmap() {
    Create(16, 16, 8);
}

void CMemoryBitmap::Allocate(int width, int height, int depth) {
    CheckSize(width, height, depth, PackedRowBytes(width, depth));
    auto pixels = img::AllocateBytes(PackedRowBytes(width, depth) * std::size_t(height));
    if (!m_paletteBlock)
        m_paletteBlock = std::make_unique<RGBQuad[]>(kPaletteBlockBytes / sizeof(RGBQuad));
    m_pixelBlock = std::move(pixels);
    m_pBits = m_pixelBlock.get();
    m_pPalette = depth <= 8 ? m_paletteBlock.get() : nullptr;
}

void CMemoryBitmap::Free() noexcept {
    m_pixelBlock.reset();
    m_pBits = nullptr;
    m_pPalette = nullptr;
}

void CMemoryBitmap::SwapBlocks(CImageBitmap& other) noexcept {
    auto& peer = static_cast<CMemoryBitmap&>(other);
    std::swap(m_pixelBlock, peer.m_pixelBlock);
    std::swap(m_paletteBlock, peer.m_paletteBlock);
}

std::size_t CMemoryBitmap::MemoryUsed() const noexcept {
    const std::size_t paletteBytes =
        Depth() <= 15 ? (std::size_t(1) << Depth()) * sizeof(RGBQuad) : 0;
    return std::size_t(Height()) * BytesPerLine() + paletteBytes + sizeof(*this);
}

std::unique_ptr<CImageBitmap> CMemoryBitmap::CreateEmptyLike() const {
    return std::make_unique<CMemoryBitmap>();
}
