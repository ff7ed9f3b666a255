// SPDX-License-Identifier: MIT
// libFuzzer harness for the metafile reader on EMF input (the seeds decide which kind it sees).
#include "FuzzDecode.h"

#include "codecs/MetafileDecoder.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    CMetafileDecoder decoder;
    return fuzz::DecodeInput(decoder, data, size);
}
