// SPDX-License-Identifier: MIT
// The main frame's key-name map and caption map, and the hotkey texts built from them: menu
// items of the capture commands show their caption, a tab and the hotkey.
#pragma once

#include <QHash>
#include <QString>

#include <cstdint>
#include <optional>

class CKeyNameMap {
public:
    // The names of the virtual keys a hotkey can use ("Backspace", "A", "Num 0", "F12", ...).
    CKeyNameMap();
    // The name, or an empty text for a key without one.
    QString Name(std::uint8_t nVirtualKey) const { return m_names.value(nVirtualKey); }
    bool Contains(std::uint8_t nVirtualKey) const { return m_names.contains(nVirtualKey); }

    // The text appended to a menu caption: "\tCtrl+Shift+Alt+C"; empty for 0.
    QString MenuSuffix(std::uint16_t wHotkey) const;
    // The same without the tab, for messages: "Ctrl+Shift+Alt+C"; empty for 0.
    QString Text(std::uint16_t wHotkey) const;

private:
    QString Build(std::uint16_t wHotkey, const QString& strLead) const;
    QHash<std::uint8_t, QString> m_names;
};

// Capture command id -> (capture action index, caption). The ids and indexes are fixed; the
// captions come from the tray menu's first popup, so the three menus always agree.
class CCaptionMap {
public:
    struct Entry {
        int nAction = 0;
        QString strCaption;
    };

    // Reads the captions of the table's commands from menu nMenuID's first popup.
    explicit CCaptionMap(unsigned nMenuID);

    // The entry of a capture command, or nothing for another id.
    std::optional<Entry> Find(unsigned nID) const;
    // The capture action index of a capture command, or -1.
    int ActionOf(unsigned nID) const;
    // The menu text of a capture command with its hotkey from the table (35 words by action).
    QString MenuText(unsigned nID, const std::uint16_t* pHotkeys, const CKeyNameMap& keys) const;

private:
    QHash<unsigned, Entry> m_entries;
};
