// SPDX-License-Identifier: MIT
// libFuzzer harness for the PNG reader.
#include "FuzzDecode.h"

#include "codecs/PNGDecoder.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    CPNGDecoder decoder;
    return fuzz::DecodeInput(decoder, data, size);
}
