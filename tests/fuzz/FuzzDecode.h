// SPDX-License-Identifier: MIT
// The body shared by the reader harnesses: decode one input at both requested depths into
// both bitmap layouts, with a tight size limit; only CTextException may come out.
#pragma once

#include "codecs/ImageDecoder.h"
#include "image/DibBitmap.h"
#include "image/MemoryBitmap.h"
#include "image/TextException.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <memory>

namespace fuzz {

// Enough for every seed; lying headers fail fast instead of allocating a gigabyte.
inline constexpr std::size_t kPixelByteLimit = std::size_t(16) << 20;

inline int DecodeInput(CImageDecoder& decoder, const std::uint8_t* data, std::size_t size) {
    // A block of exactly the input's size, so that ASan sees any read past the end.
    auto copy = std::make_unique<std::uint8_t[]>(std::max<std::size_t>(size, 1));
    if (size)
        std::memcpy(copy.get(), data, size);
    decoder.SetPixelByteLimit(kPixelByteLimit);
    try {
        CMemoryBitmap topDown;
        decoder.LoadFromMemory(copy.get(), size, topDown, 0, nullptr);
        CDibBitmap bottomUp;
        decoder.LoadFromMemory(copy.get(), size, bottomUp, 32, nullptr);
    } catch (const CTextException&) {
    }
    return 0;
}

} // namespace fuzz
