// SPDX-License-Identifier: MIT
// Name lookup for the resource ids, used when the data files of resources/ are read.
#include "framework/CommandIds.h"

#include <array>
#include <charconv>

namespace {

struct IdName {
    std::string_view name;
    unsigned value;
};

#define QUORVI_ID_NAME_ENTRY(name, value) IdName{#name, value},
constexpr std::array kIdNames{QUORVI_RESOURCE_IDS(QUORVI_ID_NAME_ENTRY)};
#undef QUORVI_ID_NAME_ENTRY

} // namespace

std::optional<unsigned> ResourceIdFromName(std::string_view name) {
    for (const IdName& entry : kIdNames) {
        if (entry.name == name)
            return entry.value;
    }
    unsigned value = 0;
    const char* end = name.data() + name.size();
    auto [ptr, ec] = std::from_chars(name.data(), end, value);
    if (name.empty() || ec != std::errc() || ptr != end)
        return std::nullopt;
    return value;
}

std::string_view ResourceIdName(unsigned id) {
    for (const IdName& entry : kIdNames) {
        if (entry.value == id)
            return entry.name;
    }
    return {};
}
