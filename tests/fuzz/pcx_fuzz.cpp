// SPDX-License-Identifier: MIT
// libFuzzer harness for the PCX reader.
#include "FuzzDecode.h"

#include "codecs/PCXDecoder.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    CPCXDecoder decoder;
    return fuzz::DecodeInput(decoder, data, size);
}
