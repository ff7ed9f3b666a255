// SPDX-License-Identifier: MIT
// libFuzzer harness for the PGM reader.
#include "FuzzDecode.h"

#include "codecs/PGMDecoder.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    CPGMDecoder decoder;
    return fuzz::DecodeInput(decoder, data, size);
}
