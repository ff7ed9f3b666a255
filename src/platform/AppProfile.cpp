// SPDX-License-Identifier: MIT
// Profile values and the recent-file list over the registry store.
#include "platform/AppProfile.h"

namespace platform {

namespace {

constexpr std::string_view kRecentFileSection = "Recent File List";

std::string RecentEntryName(std::size_t i) {
    return "File" + std::to_string(i + 1);
}

} // namespace

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

std::vector<std::string> LoadRecentFileList(const HiveLocations& locations, std::size_t nSize) {
    std::vector<std::string> files;
    CRegistryStore store(CRegistryStore::Direction::Load, locations);
    if (!store.OpenCurrentUserRoot() || !store.OpenSection(kRecentFileSection))
        return files;
    for (std::size_t i = 0; i < nSize; ++i) {
        std::string file;
        store.String(RecentEntryName(i), file);
        if (!file.empty())
            files.push_back(std::move(file));
    }
    return files;
}

bool SaveRecentFileList(const HiveLocations& locations, std::span<const std::string> files,
                        std::size_t nSize, std::string* pError) {
    CRegistryStore store(CRegistryStore::Direction::Save, locations);
    store.OpenCurrentUserRoot();
    store.OpenSection(kRecentFileSection);
    for (std::size_t i = 0; i < nSize; ++i) {
        if (i < files.size() && !files[i].empty()) {
            std::string file = files[i];
            store.String(RecentEntryName(i), file);
        } else {
            store.DeleteValue(RecentEntryName(i));
        }
    }
    if (store.Close())
        return true;
    if (pError)
        *pError = store.LastError();
    return false;
}

} // namespace platform
