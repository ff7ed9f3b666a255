// SPDX-License-Identifier: MIT
// The application's profile as the framework sees it: string values in named sections (the
// recent-file list). The program backs it with its settings store; tests with memory.
#pragma once

#include <QMap>
#include <QString>

#include <optional>

class IProfile {
public:
    virtual ~IProfile() = default;
    virtual std::optional<QString> ReadString(const QString& strSection, const QString& strEntry) const = 0;
    virtual void WriteString(const QString& strSection, const QString& strEntry, const QString& strValue) = 0;
    // Removes the section with all its values.
    virtual void RemoveSection(const QString& strSection) = 0;
};

// A profile held in memory, for tools and tests that keep nothing between runs.
class CMemoryProfile final : public IProfile {
public:
    std::optional<QString> ReadString(const QString& strSection, const QString& strEntry) const override;
    void WriteString(const QString& strSection, const QString& strEntry, const QString& strValue) override;
    void RemoveSection(const QString& strSection) override;

    // Every value of a section, by entry name.
    QMap<QString, QString> Section(const QString& strSection) const { return m_sections.value(strSection); }

private:
    QMap<QString, QMap<QString, QString>> m_sections;
};
