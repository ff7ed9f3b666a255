// SPDX-License-Identifier: MIT
// Key names and capture captions of the main frame.
#include "app/HotkeyCaptions.h"

#include "framework/CommandIds.h"
#include "framework/ResourceData.h"

#include <array>
#include <utility>

namespace {

constexpr std::uint16_t kCtrl = 0x8000;
constexpr std::uint16_t kShift = 0x4000;
constexpr std::uint16_t kAlt = 0x2000;

// Capture commands and their action indexes (the triangle has no menu item and no caption).
constexpr std::array<std::pair<unsigned, int>, 14> kCaptureActions{{
    {ID_CAPTURE_ACTIVE_WINDOW, 0},
    {ID_CAPTURE_CLIENT, 1},
    {ID_CAPTURE_CONTROL, 2},
    {ID_CAPTURE_SQUARE, 3},
    {ID_CAPTURE_RECTANGLE, 4},
    {ID_CAPTURE_CIRCLE, 5},
    {ID_CAPTURE_ELLIPSE, 6},
    {ID_CAPTURE_POLYGON, 7},
    {ID_CAPTURE_MENU, 8},
    {ID_CAPTURE_DESKTOP, 9},
    {ID_CAPTURE_SINGLE_WINDOW, 10},
    {ID_CAPTURE_REPEAT_LAST, 11},
    {ID_CAPTURE_DEFAULT, 12},
    {ID_CAPTURE_TRIANGLE, 15},
}};

} // namespace

CKeyNameMap::CKeyNameMap() {
    m_names = {{8, QStringLiteral("Backspace")}, {9, QStringLiteral("Tab")},
               {13, QStringLiteral("Enter")},    {27, QStringLiteral("Escape")},
               {32, QStringLiteral("Space")},    {35, QStringLiteral("End")},
               {36, QStringLiteral("Home")},     {37, QStringLiteral("Left")},
               {38, QStringLiteral("Up")},       {39, QStringLiteral("Right")},
               {40, QStringLiteral("Down")},     {44, QStringLiteral("Print Screen")},
               {45, QStringLiteral("Insert")},   {46, QStringLiteral("Delete")},
               {106, QStringLiteral("*")},       {107, QStringLiteral("+")},
               {109, QStringLiteral("-")},       {111, QStringLiteral("/")}};
    for (int k = 48; k <= 57; ++k)
        m_names.insert(std::uint8_t(k), QString(QChar(k)));
    for (int k = 65; k <= 90; ++k)
        m_names.insert(std::uint8_t(k), QString(QChar(k)));
    for (int k = 96; k <= 105; ++k)
        m_names.insert(std::uint8_t(k), QStringLiteral("Num %1").arg(k - 96));
    for (int k = 112; k <= 123; ++k)
        m_names.insert(std::uint8_t(k), QStringLiteral("F%1").arg(k - 111));
}

QString CKeyNameMap::Build(std::uint16_t wHotkey, const QString& strLead) const {
    QString strText;
    bool bAny = false;
    auto append = [&](const QString& strWord) {
        strText += (bAny ? QStringLiteral("+") : strLead) + strWord;
        bAny = true;
    };
    if ((wHotkey & kCtrl) != 0)
        append(QStringLiteral("Ctrl"));
    if ((wHotkey & kShift) != 0)
        append(QStringLiteral("Shift"));
    if ((wHotkey & kAlt) != 0)
        append(QStringLiteral("Alt"));
    const auto nKey = static_cast<std::uint8_t>(wHotkey & 0xFF);
    if (Contains(nKey))
        append(Name(nKey));
    return strText;
}

QString CKeyNameMap::MenuSuffix(std::uint16_t wHotkey) const {
    return Build(wHotkey, QStringLiteral("\t"));
}

QString CKeyNameMap::Text(std::uint16_t wHotkey) const {
    return Build(wHotkey, QString());
}

CCaptionMap::CCaptionMap(unsigned nMenuID) {
    const std::vector<MenuItemData>* pMenu = CResourceData::Get().Menu(nMenuID);
    if (pMenu == nullptr || pMenu->empty())
        return;
    const MenuItemData& popup = pMenu->front();
    for (const auto& [nID, nAction] : kCaptureActions) {
        const MenuItemData* pItem = CResourceData::FindItem(popup.items, nID);
        m_entries.insert(nID, Entry{nAction, pItem != nullptr ? pItem->strText : QString()});
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

QString CCaptionMap::MenuText(unsigned nID, const std::uint16_t* pHotkeys,
                              const CKeyNameMap& keys) const {
    const auto entry = Find(nID);
    if (!entry || entry->strCaption.isEmpty())
        return {};
    const std::uint16_t wHotkey = pHotkeys != nullptr ? pHotkeys[entry->nAction] : 0;
    return entry->strCaption + keys.MenuSuffix(wHotkey);
}
