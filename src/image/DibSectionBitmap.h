// SPDX-License-Identifier: MIT
// DIB whose header and palette sit in one block and whose bottom-up, 4-byte-aligned rows sit in
// a block of their own, so painters and the clipboard can take the pixels as they are.
#pragma once

#include "image/DibBitmap.h"

class CDibSectionBitmap : public CDibBitmap {
public:
    CDibSectionBitmap();

    std::unique_ptr<CImageBitmap> CreateEmptyLike() const override;

protected:
    struct NoInitTag {};
    explicit CDibSectionBitmap(NoInitTag) : CDibBitmap(SeparateBlocksTag{}) {}

    void Allocate(int width, int height, int depth) override;
    void Free() noexcept override;
    void SwapBlocks(CImageBitmap& other) noexcept override;

private:
    img::ByteBlock m_headerBlock;
    img::ByteBlock m_pixelBlock;
};
