// SPDX-License-Identifier: MIT
// The profile kept in the registry hive.
#include "framework/RegistryProfile.h"

#include "framework/GuardCommand.h"

#include <string>
#include <variant>
#include <vector>

CRegistryProfile::CRegistryProfile(platform::HiveLocations locations)
    : m_locations(std::move(locations)) {}

QMap<QString, QString> CRegistryProfile::ReadSection(const QString& strSection) const {
    QMap<QString, QString> values;
    platform::CRegistryStore store(platform::CRegistryStore::Direction::Load, m_locations);
    // A section that cannot be opened falls back to the application key: read nothing then.
    if (!store.OpenCurrentUserRoot() || !store.OpenSection(strSection.toStdString()))
        return values;
    if (const platform::CRegistryKey* pKey = store.SectionKey()) {
        for (const auto& [name, value] : pKey->Values()) {
            if (const auto* pText = std::get_if<std::string>(&value))
                values.insert(QString::fromStdString(name), QString::fromStdString(*pText));
        }
    }
    return values;
}

bool CRegistryProfile::WriteSection(const QString& strSection,
                                    const QMap<QString, QString>& values) {
    platform::CRegistryStore store(platform::CRegistryStore::Direction::Save, m_locations);
    if (!store.OpenCurrentUserRoot() || !store.OpenSection(strSection.toStdString())) {
        qCWarning(lcFramework, "profile section %s cannot be opened", qUtf8Printable(strSection));
        return false;
    }
    std::vector<std::string> stale;
    if (const platform::CRegistryKey* pKey = store.SectionKey()) {
        for (const auto& [name, value] : pKey->Values()) {
            if (std::holds_alternative<std::string>(value) &&
                !values.contains(QString::fromStdString(name)))
                stale.push_back(name);
        }
    }
    for (const std::string& name : stale)
        store.DeleteValue(name);
    for (auto it = values.begin(); it != values.end(); ++it) {
        std::string text = it.value().toStdString();
        store.String(it.key().toStdString(), text);
    }
    if (!store.Close()) {
        qCWarning(lcFramework, "profile section %s not written: %s", qUtf8Printable(strSection),
                  store.LastError().c_str());
        return false;
    }
    return true;
}
