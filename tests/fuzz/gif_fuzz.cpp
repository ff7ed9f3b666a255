// SPDX-License-Identifier: MIT
// libFuzzer harness for the GIF reader.
#include "FuzzDecode.h"

#include "codecs/GIFDecoder.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    CGIFDecoder decoder;
    return fuzz::DecodeInput(decoder, data, size);
}
