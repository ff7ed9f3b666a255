// SPDX-License-Identifier: MIT
// libFuzzer harness for the PICT reader.
#include "FuzzDecode.h"

#include "codecs/PictDecoder.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    CPictDecoder decoder;
    return fuzz::DecodeInput(decoder, data, size);
}
