// SPDX-License-Identifier: MIT
// Key names and capture captions of the main frame.
#include "app/HotkeyCaptions.h"

#include "base/HotkeyWord.h"
#include "capture/engine/CaptureActions.h"
#include "framework/ResourceData.h"

QString CKeyNameMap::Name(std::uint8_t nVirtualKey) const {
    return QString::fromStdString(base::KeyName(nVirtualKey));
}

QString CKeyNameMap::MenuSuffix(std::uint16_t wHotkey) const {
    const QString strText = Text(wHotkey);
    return strText.isEmpty() ? strText : QLatin1Char('\t') + strText;
}

QString CKeyNameMap::Text(std::uint16_t wHotkey) const {
    return QString::fromStdString(base::HotkeyText(wHotkey));
}

CCaptionMap::CCaptionMap(unsigned nMenuID) {
    const std::vector<MenuItemData>* pMenu = CResourceData::Get().Menu(nMenuID);
    if (pMenu == nullptr || pMenu->empty())
        return;
    const MenuItemData& popup = pMenu->front();
    for (const capture::CaptureActionInfo& action : capture::CaptureActionTable()) {
        const MenuItemData* pItem = CResourceData::FindItem(popup.items, action.nCommandID);
        m_entries.insert(action.nCommandID,
                         Entry{action.nAction, pItem != nullptr ? pItem->strText : QString()});
    }
}

std::optional<CCaptionMap::Entry> CCaptionMap::Find(unsigned nID) const {
    const auto it = m_entries.constFind(nID);
    if (it == m_entries.constEnd())
        return std::nullopt;
    return *it;
}

int CCaptionMap::ActionOf(unsigned nID) const {
    const auto entry = Find(nID);
    return entry ? entry->nAction : -1;
}

QString CCaptionMap::CaptionOf(int nAction) const {
    for (const Entry& entry : m_entries) {
        if (entry.nAction == nAction && !entry.strCaption.isEmpty())
            return entry.strCaption;
    }
    return {};
}

QString CCaptionMap::MenuText(unsigned nID, const std::uint16_t* pHotkeys,
                              const CKeyNameMap& keys) const {
    const auto entry = Find(nID);
    if (!entry || entry->strCaption.isEmpty())
        return {};
    const std::uint16_t wHotkey = pHotkeys != nullptr ? pHotkeys[entry->nAction] : 0;
    return entry->strCaption + keys.MenuSuffix(wHotkey);
}
