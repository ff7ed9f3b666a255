// SPDX-License-Identifier: MIT
// libFuzzer harness for the BMP reader.
#include "FuzzDecode.h"

#include "codecs/BMPDecoder.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    CBMPDecoder decoder;
    return fuzz::DecodeInput(decoder, data, size);
}
