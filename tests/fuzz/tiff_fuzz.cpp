// SPDX-License-Identifier: MIT
// libFuzzer harness for the TIFF reader.
#include "FuzzDecode.h"

#include "codecs/TIFFDecoder.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    CTIFFDecoder decoder;
    return fuzz::DecodeInput(decoder, data, size);
}
