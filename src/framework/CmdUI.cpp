// SPDX-License-Identifier: MIT
// The update request passed to update handlers.
#include "framework/CmdUI.h"

void CCmdUI::Enable(bool bOn) {
    m_bEnabled = bOn;
    m_bEnableChanged = true;
}

void CCmdUI::SetCheck(int nCheck) {
    m_nCheck = nCheck;
    m_bRadio = false;
}

void CCmdUI::SetRadio(bool bOn) {
    m_nCheck = bOn ? 1 : 0;
    m_bRadio = true;
}

void CCmdUI::SetText(const QString& strText) {
    m_strText = strText;
}

bool CCmdUI::ReplaceItems(unsigned, unsigned, const std::vector<MenuEntry>&) {
    return false;
}
