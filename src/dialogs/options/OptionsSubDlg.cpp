// SPDX-License-Identifier: MIT
// The options page base.
#include "dialogs/options/OptionsSubDlg.h"

#include "framework/GuardCommand.h"
#include "framework/ui/DataExchange.h"

#include <QAbstractSpinBox>
#include <QKeyEvent>
#include <QLineEdit>

COptionsSubDlg::COptionsSubDlg(const CUiServices& ui, int nTemplateID)
    : CDialog(ui), m_nTemplateID(nTemplateID) {}

void COptionsSubDlg::Create(QWidget* pParent) {
    if (m_bCreated)
        return;
    // A child inside the frame, not a window of its own.
    setParent(pParent, Qt::Widget);
    BuildControls();
    m_bCreated = true;
}

bool COptionsSubDlg::Validate() {
    CDataExchange dx(Ui(), this, true);
    const bool bRan = GuardCommand(Ui(), [&] { DoDataExchange(dx); });
    if (!bRan || dx.Failed()) {
        m_pFailedControl = dx.LastControl();
        return false;
    }
    m_pFailedControl = nullptr;
    return CheckPage();
}

bool COptionsSubDlg::FailOn(QWidget* pControl) {
    m_pFailedControl = pControl;
    return false;
}

void COptionsSubDlg::FocusFailedControl() {
    if (m_pFailedControl == nullptr)
        return;
    m_pFailedControl->setFocus(Qt::OtherFocusReason);
    if (auto* pEdit = qobject_cast<QLineEdit*>(m_pFailedControl.data()))
        pEdit->selectAll();
    else if (auto* pSpin = qobject_cast<QAbstractSpinBox*>(m_pFailedControl.data()))
        pSpin->selectAll();
}

void COptionsSubDlg::FocusFirstControl() {
    for (QWidget* pChild : findChildren<QWidget*>()) {
        if ((pChild->focusPolicy() & Qt::TabFocus) != 0 && pChild->isEnabled() &&
            pChild->isVisibleTo(this)) {
            pChild->setFocus(Qt::TabFocusReason);
            return;
        }
    }
    setFocus(Qt::OtherFocusReason);
}

void COptionsSubDlg::keyPressEvent(QKeyEvent* pEvent) {
    // Escape would end the page alone and leave a hole in the dialog.
    if (pEvent->key() == Qt::Key_Escape) {
        pEvent->accept();
        return;
    }
    // Enter goes on to the dialog's OK.
    if (pEvent->key() == Qt::Key_Return || pEvent->key() == Qt::Key_Enter) {
        pEvent->ignore();
        return;
    }
    CDialog::keyPressEvent(pEvent);
}
