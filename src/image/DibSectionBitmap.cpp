// SPDX-License-Identifier: MIT
#include "image/DibSectionBitmap.h"

CDibSectionBitmap::CDibSectionBitmap() : CDibBitmap(SeparateBlocksTag{}) {
    Create(16, 16, 8);
}

void CDibSectionBitmap::Allocate(int width, int height, int depth) {
    CheckSize(width, height, depth, DibRowBytes(width, depth));
    auto headerBlock = img::AllocateBytes(HeaderBlockBytes(depth));
    auto pixelBlock = img::AllocateBytes(DibRowBytes(width, depth) * std::size_t(height));
    m_headerBlock = std::move(headerBlock);
    m_pixelBlock = std::move(pixelBlock);
    m_pHeader = reinterpret_cast<BitmapInfoHeader*>(m_headerBlock.get());
    FillHeader(*m_pHeader, width, height, depth);
    m_pPalette = depth <= 8
                     ? reinterpret_cast<RGBQuad*>(m_headerBlock.get() + sizeof(BitmapInfoHeader))
                     : nullptr;
    m_pBits = m_pixelBlock.get();
    ClearRowPadding(m_pBits, width, height, depth);
}

void CDibSectionBitmap::Free() noexcept {
    m_headerBlock.reset();
    m_pixelBlock.reset();
    m_pHeader = nullptr;
    m_pPalette = nullptr;
    m_pBits = nullptr;
}

void CDibSectionBitmap::SwapBlocks(CImageBitmap& other) noexcept {
    auto& peer = static_cast<CDibSectionBitmap&>(other);
    std::swap(m_headerBlock, peer.m_headerBlock);
    std::swap(m_pixelBlock, peer.m_pixelBlock);
    std::swap(m_pHeader, peer.m_pHeader);
}

std::unique_ptr<CImageBitmap> CDibSectionBitmap::CreateEmptyLike() const {
    return std::make_unique<CDibSectionBitmap>();
}
