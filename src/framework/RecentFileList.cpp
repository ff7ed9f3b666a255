// SPDX-License-Identifier: MIT
// The recent-file list.
#include "framework/RecentFileList.h"

#include "framework/Profile.h"

#include <QDir>
#include <QFileInfo>

#include <algorithm>

namespace {

// One spelling per file: absolute, cleaned, and through symbolic links when the file exists.
QString NormalisePath(const QString& strPath) {
    const QFileInfo info(strPath);
    const QString strCanonical = info.canonicalFilePath();
    return strCanonical.isEmpty() ? QDir::cleanPath(info.absoluteFilePath()) : strCanonical;
}

} // namespace

CRecentFileList::CRecentFileList(unsigned nStartID, QString strSection, QString strEntryFormat,
                                 int nSize, int nMaxDisplayLength)
    : m_nStartID(nStartID), m_strSection(std::move(strSection)),
      m_strEntryFormat(std::move(strEntryFormat)), m_nSize(std::max(nSize, 1)),
      m_nMaxDisplayLength(nMaxDisplayLength) {}

void CRecentFileList::Add(const QString& strPath) {
    if (strPath.isEmpty())
        return;
    const QString strName = NormalisePath(strPath);
    auto it = std::find_if(m_names.begin(), m_names.end(), [&](const QString& s) {
        return s == strName || NormalisePath(s) == strName;
    });
    if (it != m_names.end())
        m_names.erase(it);
    m_names.insert(m_names.begin(), strName);
    if (Count() > m_nSize)
        m_names.resize(static_cast<size_t>(m_nSize));
}

void CRecentFileList::Remove(int nIndex) {
    if (nIndex >= 0 && nIndex < Count())
        m_names.erase(m_names.begin() + nIndex);
}

void CRecentFileList::ReadList(const IProfile& profile) {
    m_names.clear();
    const QMap<QString, QString> values = profile.ReadSection(m_strSection);
    for (int i = 0; i < m_nSize; ++i) {
        const QString strName = values.value(EntryName(i));
        if (!strName.isEmpty() &&
            std::find(m_names.begin(), m_names.end(), strName) == m_names.end())
            m_names.push_back(strName);
    }
}

void CRecentFileList::WriteList(IProfile& profile) const {
    QMap<QString, QString> values;
    for (int i = 0; i < Count(); ++i)
        values.insert(EntryName(i), (*this)[i]);
    profile.WriteSection(m_strSection, values);
}

QString CRecentFileList::EntryName(int nIndex) const {
    return QString(m_strEntryFormat).replace(QStringLiteral("%d"), QString::number(nIndex + 1));
}

namespace {

// A name longer than the room keeps its start and its end (the extension), "..." between them.
QString ElideMiddle(const QString& strName, int nRoom) {
    if (strName.size() <= nRoom)
        return strName;
    const int nKept = std::max(2, nRoom - 3);
    const int nTail = nKept / 2;
    return strName.left(nKept - nTail) + QStringLiteral("...") + strName.right(nTail);
}

} // namespace

QString CRecentFileList::AbbreviateName(const QString& strPath, const QString& strCurrentDir,
                                        int nMaxLength) {
    const QFileInfo info(strPath);
    if (!strCurrentDir.isEmpty() &&
        QDir::cleanPath(info.absolutePath()) == QDir::cleanPath(strCurrentDir))
        return ElideMiddle(info.fileName(), nMaxLength);
    if (strPath.size() <= nMaxLength)
        return strPath;
    // Keep the root, then as many trailing folders as fit after "...".
    const QStringList parts = strPath.split(u'/');
    const QString strRoot = strPath.startsWith(u'/') ? QStringLiteral("/") : QString();
    const QString strLead = strRoot + QStringLiteral(".../");
    QString strTail = parts.last();
    for (qsizetype i = parts.size() - 2; i > 0; --i) {
        const QString strCandidate = parts[i] + u'/' + strTail;
        if (strLead.size() + strCandidate.size() > nMaxLength)
            break;
        strTail = strCandidate;
    }
    // A file name that alone is longer than the room is cut in its middle, so that the menu
    // keeps a sane width.
    return strLead + ElideMiddle(strTail, nMaxLength - int(strLead.size()));
}

QString CRecentFileList::MenuText(int nIndex, const QString& strCurrentDir) const {
    QString strName = AbbreviateName((*this)[nIndex], strCurrentDir, m_nMaxDisplayLength);
    strName.replace(u'&', QStringLiteral("&&"));
    const int nNumber = nIndex + 1;
    // "&1" to "&9", then "1&0" as the tenth mnemonic.
    const QString strNumber = nNumber < 10
                                  ? QStringLiteral("&%1").arg(nNumber)
                                  : QStringLiteral("%1&%2").arg(nNumber / 10).arg(nNumber % 10);
    return strNumber + u' ' + strName;
}

std::vector<MenuEntry> CRecentFileList::MenuEntries(const QString& strPlaceholder,
                                                    const QString& strCurrentDir) const {
    std::vector<MenuEntry> entries;
    if (m_names.empty()) {
        entries.push_back({m_nStartID, strPlaceholder, false});
        return entries;
    }
    for (int i = 0; i < Count(); ++i)
        entries.push_back(
            {m_nStartID + static_cast<unsigned>(i), MenuText(i, strCurrentDir), true});
    return entries;
}

void CRecentFileList::UpdateMenu(CCmdUI& cmdUI) const {
    const QString strPlaceholder = cmdUI.OriginalText();
    const auto nLast = m_nStartID + static_cast<unsigned>(m_nSize) - 1;
    if (!cmdUI.ReplaceItems(m_nStartID, nLast, MenuEntries(strPlaceholder, QDir::currentPath()))) {
        // Not a menu (a toolbar button): the first entry is usable when there is one.
        cmdUI.Enable(!m_names.empty());
    }
}
