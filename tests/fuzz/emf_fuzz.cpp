// SPDX-License-Identifier: MIT
// libFuzzer harness for the metafile reader on EMF input (the seeds decide which kind it sees).
#include "FuzzDecode.h"

#include "codecs/MetafileDecoder.h"

// Memory that fontconfig keeps for the whole process once text has been drawn; it does not
// grow with further use, so it is no finding (the codec tests suppress it the same way).
extern "C" const char* __lsan_default_suppressions() {
    return "leak:libfontconfig.so\n";
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    CMetafileDecoder decoder;
    return fuzz::DecodeInput(decoder, data, size);
}
