// SPDX-License-Identifier: MIT
// CExpandingDlg: a dialog with an advanced part that a toggle button shows and hides. Collapsed,
// the window shrinks to the part above and the advanced controls are disabled.
#pragma once

#include "framework/ui/Dialog.h"

class QPushButton;

class CExpandingDlg : public CDialog {
    Q_OBJECT

public:
    // bRelabel clear: after expanding, the toggle is disabled instead of showing strExpanded.
    CExpandingDlg(const CUiServices& ui, QWidget* pParent, QString strCollapsed,
                  QString strExpanded, bool bRelabel = true);

    bool IsExpanded() const noexcept { return m_bExpanded; }
    QPushButton* ToggleButton() const noexcept { return m_pToggle; }
    // The advanced part; its owner fills it.
    QWidget* Advanced() const noexcept { return m_pAdvanced; }
    // Switches to the other state (when CanToggle allows).
    void Toggle();

protected:
    // Asked before every switch, with the current state.
    virtual bool CanToggle(bool /*bExpanded*/) { return true; }
    // After every switch, with the new state.
    virtual void OnToggled(bool /*bExpanded*/) {}
    void SetExpanded(bool bExpanded);

private:
    QString m_strCollapsed;
    QString m_strExpanded;
    bool m_bRelabel;
    bool m_bExpanded = true;
    QPushButton* m_pToggle;
    QWidget* m_pAdvanced;
};
