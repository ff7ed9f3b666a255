// SPDX-License-Identifier: MIT
// The capture items' captions with their hotkeys.
#include "app/MenuCaptions.h"

#include "app/ShellServices.h"
#include "framework/ui/CommandDispatcher.h"
#include "platform/AppSettings.h"

#include <QAction>
#include <QMenu>

CMenuCaptions::CMenuCaptions(const platform::CAppSettings& settings, unsigned nCaptionMenuID)
    : m_settings(settings), m_captions(nCaptionMenuID) {}

const std::uint16_t* CMenuCaptions::CurrentHotkeyTable() const {
    if (m_pEngine != nullptr && m_pEngine->HotkeyTable() != nullptr)
        return m_pEngine->HotkeyTable();
    return m_settings.Hotkeys().data();
}

void CMenuCaptions::Apply(QMenu* pMenu) const {
    const std::uint16_t* pHotkeys = CurrentHotkeyTable();
    for (QAction* pAction : pMenu->actions()) {
        const QString strText =
            m_captions.MenuText(CCommandDispatcher::ActionId(pAction), pHotkeys, m_keyNames);
        if (!strText.isEmpty())
            pAction->setText(strText);
    }
}

QString CMenuCaptions::HotkeyText(int nAction) const {
    if (nAction < 0 || nAction >= int(platform::kHotkeyTableSize))
        return {};
    return m_keyNames.Text(CurrentHotkeyTable()[nAction]);
}
