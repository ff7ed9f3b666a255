// SPDX-License-Identifier: MIT
// The recent-file list: the last files opened or saved, newest first, kept in the profile
// section "Recent File List" as File1..FileN and shown in the File menu.
#pragma once

#include "framework/CmdUI.h"

#include <QString>
#include <QStringList>

#include <vector>

class IProfile;

class CRecentFileList {
public:
    // nStartID is the command id of the first entry; the others follow it.
    CRecentFileList(unsigned nStartID, QString strSection, QString strEntryFormat, int nSize,
                    int nMaxDisplayLength = 40);

    int Size() const noexcept { return m_nSize; }
    int Count() const noexcept { return static_cast<int>(m_names.size()); }
    const QString& operator[](int nIndex) const { return m_names.at(static_cast<size_t>(nIndex)); }
    unsigned StartID() const noexcept { return m_nStartID; }

    // Puts the file at the top (moving it there when listed), dropping the oldest past the size.
    // Relative paths are made absolute; the same file under another spelling is one entry.
    void Add(const QString& strPath);
    void Remove(int nIndex);

    // Reads the entries File1..FileN; empty, repeated and surplus entries are dropped.
    void ReadList(const IProfile& profile);
    // Replaces the section with the current entries.
    void WriteList(IProfile& profile) const;

    // The menu text of an entry: "&1 name", the name shortened for the menu ("&" doubled).
    QString MenuText(int nIndex, const QString& strCurrentDir) const;
    // The menu items for the list; an empty list gives one grayed item with the placeholder.
    std::vector<MenuEntry> MenuEntries(const QString& strPlaceholder,
                                       const QString& strCurrentDir) const;
    // Puts the list into a menu being updated (the update handler of the first entry).
    void UpdateMenu(CCmdUI& cmdUI) const;

    // The file name alone when it is in strCurrentDir; otherwise the path, shortened to about
    // nMaxLength characters by "..." in place of leading folders (the file name stays whole).
    static QString AbbreviateName(const QString& strPath, const QString& strCurrentDir,
                                  int nMaxLength);

private:
    QString EntryName(int nIndex) const; // "File1" for index 0

    unsigned m_nStartID;
    QString m_strSection;
    QString m_strEntryFormat;
    int m_nSize;
    int m_nMaxDisplayLength;
    std::vector<QString> m_names;
};
