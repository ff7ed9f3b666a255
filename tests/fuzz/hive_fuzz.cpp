// SPDX-License-Identifier: MIT
// libFuzzer harness for the settings hive's text form: any input either fails to parse or
// survives its own round trip unchanged, keeps within the depth bound, and every name in it is
// found again through its key's index.
#include "platform/RegistryHive.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <string_view>
#include <vector>

namespace {

void CheckTree(const platform::CRegistryKey& root) {
    std::vector<const platform::CRegistryKey*> pending{&root};
    while (!pending.empty()) {
        const platform::CRegistryKey* key = pending.back();
        pending.pop_back();
        if (key->Depth() > platform::kMaxKeyDepth)
            std::abort();
        for (const auto& [name, value] : key->Values())
            if (key->FindValue(name) != &value)
                std::abort();
        for (const auto& sub : key->SubKeys()) {
            if (key->FindSubKey(sub->Name()) != sub.get())
                std::abort();
            pending.push_back(sub.get());
        }
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    // A heap copy of exactly the input, so an overread shows under AddressSanitizer.
    char* copy = static_cast<char*>(std::malloc(size ? size : 1));
    std::copy(data, data + size, copy);
    const auto hive = platform::CRegistryHive::Parse(std::string_view(copy, size));
    if (hive) {
        CheckTree(hive->Root());
        const auto again = platform::CRegistryHive::Parse(hive->Serialize());
        if (!again || !(*again == *hive))
            std::abort();
    }
    std::free(copy);
    return 0;
}
