// SPDX-License-Identifier: MIT
// libFuzzer harness for the settings hive's text form: any input either fails to parse or
// survives its own round trip unchanged.
#include "platform/RegistryHive.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    // A heap copy of exactly the input, so an overread shows under AddressSanitizer.
    char* copy = static_cast<char*>(std::malloc(size ? size : 1));
    std::copy(data, data + size, copy);
    const auto hive = platform::CRegistryHive::Parse(std::string_view(copy, size));
    if (hive) {
        const auto again = platform::CRegistryHive::Parse(hive->Serialize());
        if (!again || !(*again == *hive))
            std::abort();
    }
    std::free(copy);
    return 0;
}
