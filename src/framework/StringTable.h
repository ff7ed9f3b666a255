// SPDX-License-Identifier: MIT
// The string table: prompts, messages and texts by numeric id, read from resources/strings.json.
// A command's entry is "long prompt\nshort tool-tip text".
#pragma once

#include <QHash>
#include <QString>
#include <QStringList>

#include <initializer_list>

class CStringTable {
public:
    // The table compiled into the program (loaded on first use).
    static const CStringTable& Get();

    // Reads a table from JSON text: an object of id (name or number) to text. Entries whose id
    // is unknown are reported in *pErrors and skipped.
    static CStringTable FromJson(const QByteArray& json, QStringList* pErrors);

    bool Contains(unsigned nID) const { return m_strings.contains(nID); }
    // The whole entry, or an empty text for an unknown id.
    QString Text(unsigned nID) const { return m_strings.value(nID); }
    // The part before the first newline (the status-bar prompt).
    QString Prompt(unsigned nID) const;
    // The part after the first newline (the tool tip), or empty.
    QString ToolTip(unsigned nID) const;
    QList<unsigned> Ids() const { return m_strings.keys(); }

private:
    QHash<unsigned, QString> m_strings;
};

// Replaces %1 to %9 in one pass: an argument that itself contains "%2" is not expanded again.
// A marker without an argument, and any other '%', stays as it is.
QString FormatString(const QString& strFormat, std::initializer_list<QString> args);

// Shorthands on the compiled table.
QString LoadString(unsigned nID);
QString FormatString1(unsigned nID, const QString& str1);
QString FormatString2(unsigned nID, const QString& str1, const QString& str2);
