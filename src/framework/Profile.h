// SPDX-License-Identifier: MIT
// The application's profile as the framework sees it: sections of string values (the
// recent-file list). The program keeps it in its registry hive (RegistryProfile.h); tools and
// tests may keep it in memory.
#pragma once

#include <QMap>
#include <QString>

class IProfile {
public:
    virtual ~IProfile() = default;
    // The string values of a section by name; empty when the section is absent or unreadable.
    virtual QMap<QString, QString> ReadSection(const QString& strSection) const = 0;
    // Replaces the section's string values by `values`. False when they could not be stored.
    virtual bool WriteSection(const QString& strSection, const QMap<QString, QString>& values) = 0;
};

// A profile held in memory, for tools and tests that keep nothing between runs.
class CMemoryProfile final : public IProfile {
public:
    QMap<QString, QString> ReadSection(const QString& strSection) const override {
        return m_sections.value(strSection);
    }
    bool WriteSection(const QString& strSection, const QMap<QString, QString>& values) override {
        m_sections[strSection] = values;
        return true;
    }

private:
    QMap<QString, QMap<QString, QString>> m_sections;
};
