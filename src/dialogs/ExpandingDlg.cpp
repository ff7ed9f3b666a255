// SPDX-License-Identifier: MIT
// The dialog with an advanced part.
#include "dialogs/ExpandingDlg.h"

#include <QLayout>
#include <QPushButton>

CExpandingDlg::CExpandingDlg(const CUiServices& ui, QWidget* pParent, QString strCollapsed,
                             QString strExpanded, bool bRelabel)
    : CDialog(ui, pParent), m_strCollapsed(std::move(strCollapsed)),
      m_strExpanded(std::move(strExpanded)), m_bRelabel(bRelabel),
      m_pToggle(new QPushButton(m_strExpanded, this)), m_pAdvanced(new QWidget(this)) {
    m_pToggle->setAutoDefault(false);
    connect(m_pToggle, &QPushButton::clicked, this, &CExpandingDlg::Toggle);
}

void CExpandingDlg::Toggle() {
    if (!CanToggle(m_bExpanded))
        return;
    SetExpanded(!m_bExpanded);
    // The focus goes on past the toggle, which may just have been disabled.
    m_pToggle->nextInFocusChain()->setFocus(Qt::TabFocusReason);
    OnToggled(m_bExpanded);
}

void CExpandingDlg::SetExpanded(bool bExpanded) {
    m_bExpanded = bExpanded;
    m_pAdvanced->setEnabled(bExpanded);
    m_pAdvanced->setVisible(bExpanded);
    if (bExpanded) {
        m_pToggle->setText(m_strExpanded);
        m_pToggle->setEnabled(m_bRelabel);
    } else {
        m_pToggle->setText(m_strCollapsed);
    }
    // The window takes the size of what shows: the part above the advanced one, or all.
    if (layout() != nullptr)
        layout()->setSizeConstraint(QLayout::SetFixedSize);
    adjustSize();
}
