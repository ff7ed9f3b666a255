// SPDX-License-Identifier: MIT
// libFuzzer harness for the whole loader: recognition, then whichever reader the bytes select.
#include "FuzzDecode.h"

#include "codecs/PictureDecoder.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    // A block of exactly the input's size, so that ASan sees any read past the end.
    auto copy = std::make_unique<std::uint8_t[]>(std::max<std::size_t>(size, 1));
    if (size)
        std::memcpy(copy.get(), data, size);
    CPictureDecoder decoder;
    decoder.SetPixelByteLimit(fuzz::kPixelByteLimit);
    try {
        CMemoryBitmap topDown;
        decoder.LoadFromMemory(copy.get(), size, topDown, 0, nullptr);
        CDibBitmap bottomUp;
        decoder.LoadFromMemory(copy.get(), size, bottomUp, 32, nullptr);
    } catch (const CTextException&) {
    }
    return 0;
}
