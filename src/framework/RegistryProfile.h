// SPDX-License-Identifier: MIT
// The profile kept in the program's registry hive, below the application key (the same key as
// the settings record), one section per sub-key.
#pragma once

#include "framework/Profile.h"
#include "platform/RegistryStore.h"

class CRegistryProfile final : public IProfile {
public:
    explicit CRegistryProfile(
        platform::HiveLocations locations = platform::HiveLocations::FromEnvironment());

    QMap<QString, QString> ReadSection(const QString& strSection) const override;
    // One atomic write of the hive; values of other types in the section are left alone.
    bool WriteSection(const QString& strSection, const QMap<QString, QString>& values) override;

private:
    platform::HiveLocations m_locations;
};
