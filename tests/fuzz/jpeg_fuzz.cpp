// SPDX-License-Identifier: MIT
// libFuzzer harness for the JPEG reader.
#include "FuzzDecode.h"

#include "codecs/JPEGDecoder.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    CJPEGDecoder decoder;
    return fuzz::DecodeInput(decoder, data, size);
}
