// SPDX-License-Identifier: MIT
// Checks shared by the format readers.
#include "codecs/DecodeSupport.h"

#include "codecs/DataSource.h"
#include "image/ImageBitmap.h"
#include "image/TextException.h"

#include <algorithm>
#include <limits>

namespace codec {

void ThrowTooLarge() {
    throw CTextException(img::err::kOutOfMemory, img::err::kOutOfMemoryCreatingBitmap);
}

std::size_t CheckedMul(std::size_t a, std::size_t b) {
    std::size_t product;
    if (__builtin_mul_overflow(a, b, &product))
        ThrowTooLarge();
    return product;
}

std::size_t CheckedAdd(std::size_t a, std::size_t b) {
    std::size_t sum;
    if (__builtin_add_overflow(a, b, &sum))
        ThrowTooLarge();
    return sum;
}

void CheckImageSize(std::int64_t width, std::int64_t height, int depth,
                    std::size_t pixelByteLimit) {
    if (width < 1 || height < 1)
        ThrowTooLarge();
    const std::size_t limit = std::min(pixelByteLimit, CImageBitmap::kMaxPixelBytes);
    // Padded rows (the DIB layout) are the largest any bitmap class allocates.
    if (width > CImageBitmap::kMaxSide || height > CImageBitmap::kMaxSide ||
        CImageBitmap::DibRowBytes(int(width), depth) > limit / std::size_t(height))
        img::ThrowPictureTooLarge(width, height, depth, limit);
}

void RequireRemaining(const CDataSource& source, std::size_t bytes) {
    if (source.Remaining() < bytes)
        throw CTextException(kEndOfData, kEndOfDataText);
}

} // namespace codec
