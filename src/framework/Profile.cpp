// SPDX-License-Identifier: MIT
// The in-memory profile.
#include "framework/Profile.h"

std::optional<QString> CMemoryProfile::ReadString(const QString& strSection, const QString& strEntry) const
{
    auto itSection = m_sections.constFind(strSection);
    if (itSection == m_sections.constEnd())
        return std::nullopt;
    auto itValue = itSection->constFind(strEntry);
    if (itValue == itSection->constEnd())
        return std::nullopt;
    return *itValue;
}

void CMemoryProfile::WriteString(const QString& strSection, const QString& strEntry, const QString& strValue)
{
    m_sections[strSection][strEntry] = strValue;
}

void CMemoryProfile::RemoveSection(const QString& strSection)
{
    m_sections.remove(strSection);
}
