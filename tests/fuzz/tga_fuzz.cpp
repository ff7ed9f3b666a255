// SPDX-License-Identifier: MIT
// libFuzzer harness for the TGA reader.
#include "FuzzDecode.h"

#include "codecs/TGADecoder.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    CTGADecoder decoder;
    return fuzz::DecodeInput(decoder, data, size);
}
