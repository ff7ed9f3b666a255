// SPDX-License-Identifier: MIT
// Profile access to any section of the application key (the workspace's "Settings" values). Each
// call is one pass of its own; writes reach the file at once.
#pragma once

#include "platform/RegistryStore.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace platform {

class CAppProfile {
public:
    explicit CAppProfile(HiveLocations locations = HiveLocations::FromEnvironment());

    // Reads give nDefault (or nullopt) when the value is absent or of another type.
    std::uint32_t GetProfileInt(std::string_view section, std::string_view entry,
                                std::uint32_t nDefault) const;
    std::string GetProfileString(std::string_view section, std::string_view entry,
                                 std::string_view strDefault = {}) const;
    std::optional<RegBinary> GetProfileBinary(std::string_view section,
                                              std::string_view entry) const;

    // False with LastError() when the hive cannot be written or section is no section name.
    bool WriteProfileInt(std::string_view section, std::string_view entry, std::uint32_t nValue);
    bool WriteProfileString(std::string_view section, std::string_view entry,
                            std::string_view value);
    bool WriteProfileBinary(std::string_view section, std::string_view entry,
                            const RegBinary& bytes);
    bool DeleteProfileValue(std::string_view section, std::string_view entry);

    const std::string& LastError() const noexcept { return m_strError; }

private:
    template <class Exchange> bool Write(std::string_view section, Exchange exchange);

    HiveLocations m_locations;
    std::string m_strError;
};

} // namespace platform
