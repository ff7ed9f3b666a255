// SPDX-License-Identifier: MIT
// Profile values over the registry store.
#include "platform/AppProfile.h"

namespace platform {

CAppProfile::CAppProfile(HiveLocations locations) : m_locations(std::move(locations)) {}

std::uint32_t CAppProfile::GetProfileInt(std::string_view section, std::string_view entry,
                                         std::uint32_t nDefault) const {
    CRegistryStore store(CRegistryStore::Direction::Load, m_locations);
    if (store.OpenCurrentUserRoot() && store.OpenSection(section))
        store.Dword(entry, nDefault);
    return nDefault;
}

std::string CAppProfile::GetProfileString(std::string_view section, std::string_view entry,
                                          std::string_view strDefault) const {
    std::string value(strDefault);
    CRegistryStore store(CRegistryStore::Direction::Load, m_locations);
    if (store.OpenCurrentUserRoot() && store.OpenSection(section))
        store.String(entry, value);
    return value;
}

std::optional<RegBinary> CAppProfile::GetProfileBinary(std::string_view section,
                                                       std::string_view entry) const {
    CRegistryStore store(CRegistryStore::Direction::Load, m_locations);
    if (!store.OpenCurrentUserRoot() || !store.OpenSection(section))
        return std::nullopt;
    const CRegistryKey* key = store.SectionKey();
    const RegValue* value = key ? key->FindValue(entry) : nullptr;
    if (!value || TypeOf(*value) != RegType::Binary)
        return std::nullopt;
    return std::get<RegBinary>(*value);
}

template <class Exchange> bool CAppProfile::Write(std::string_view section, Exchange exchange) {
    // The store would put the value on the application key instead.
    if (!IsSectionName(section)) {
        const std::size_t nLevels = kMaxKeyDepth - ApplicationKeyPath().size();
        m_strError = "'" + std::string(section) + "' cannot be a settings section (at most " +
                     std::to_string(nLevels) + " levels of names of 1 to 255 bytes)";
        return false;
    }
    CRegistryStore store(CRegistryStore::Direction::Save, m_locations);
    store.OpenCurrentUserRoot();
    store.OpenSection(section);
    exchange(store);
    if (store.Close())
        return true;
    m_strError = store.LastError();
    return false;
}

bool CAppProfile::WriteProfileInt(std::string_view section, std::string_view entry,
                                  std::uint32_t nValue) {
    return Write(section, [&](CRegistryStore& store) { store.Dword(entry, nValue); });
}

bool CAppProfile::WriteProfileString(std::string_view section, std::string_view entry,
                                     std::string_view value) {
    std::string text(value);
    return Write(section, [&](CRegistryStore& store) { store.String(entry, text); });
}

bool CAppProfile::WriteProfileBinary(std::string_view section, std::string_view entry,
                                     const RegBinary& bytes) {
    RegBinary copy = bytes;
    return Write(section, [&](CRegistryStore& store) { store.Binary(entry, copy); });
}

bool CAppProfile::DeleteProfileValue(std::string_view section, std::string_view entry) {
    return Write(section, [&](CRegistryStore& store) { store.DeleteValue(entry); });
}

} // namespace platform
