// SPDX-License-Identifier: MIT
// The dialog base.
#include "framework/ui/Dialog.h"

#include "framework/GuardCommand.h"
#include "framework/UiServices.h"
#include "framework/ui/DataExchange.h"

CDialog::CDialog(const CUiServices& ui, QWidget* pParent) : QDialog(pParent), m_ui(ui) {}

bool CDialog::UpdateData(bool bSaveAndValidate) {
    CDataExchange dx(m_ui, this, bSaveAndValidate);
    const bool bRan = GuardCommand(m_ui, [&] { DoDataExchange(dx); });
    return bRan && !dx.Failed();
}

void CDialog::accept() {
    if (UpdateData(true))
        QDialog::accept();
}

void CDialog::DoDataExchange(CDataExchange&) {}

void CDialog::OnInitDialog() {
    UpdateData(false);
}

void CDialog::showEvent(QShowEvent* pEvent) {
    if (!m_bInitialised) {
        m_bInitialised = true;
        GuardCommand(m_ui, [&] { OnInitDialog(); });
    }
    QDialog::showEvent(pEvent);
}
