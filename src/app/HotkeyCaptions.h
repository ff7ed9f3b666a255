// SPDX-License-Identifier: MIT
// The main frame's key names and caption map, and the hotkey texts built from them: menu items
// of the capture commands show their caption, a tab and the hotkey.
#pragma once

#include <QHash>
#include <QString>

#include <cstdint>
#include <optional>

// The names of the virtual keys a hotkey can use ("Backspace", "A", "Num 0", "F12", ...): those
// of base::KeyName, as Qt text.
class CKeyNameMap {
public:
    // The name, or an empty text for a key without one.
    QString Name(std::uint8_t nVirtualKey) const;
    bool Contains(std::uint8_t nVirtualKey) const { return !Name(nVirtualKey).isEmpty(); }

    // The text appended to a menu caption: "\tCtrl+Shift+Alt+C"; empty for 0.
    QString MenuSuffix(std::uint16_t wHotkey) const;
    // The same without the tab, for messages: "Ctrl+Shift+Alt+C"; empty for 0.
    QString Text(std::uint16_t wHotkey) const;
};

// Capture command id -> (capture action index, caption). The ids and indexes are the capture
// engine's table; the captions come from the tray menu's first popup, so the three menus always
// agree.
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
    // The caption of a capture action index (mnemonic included), or empty.
    QString CaptionOf(int nAction) const;
    // The menu text of a capture command with its hotkey from the table (35 words by action).
    QString MenuText(unsigned nID, const std::uint16_t* pHotkeys, const CKeyNameMap& keys) const;

private:
    QHash<unsigned, Entry> m_entries;
};
