// SPDX-License-Identifier: MIT
// The dialog base.
#include "framework/ui/Dialog.h"

#include "framework/GuardCommand.h"
#include "framework/ui/DataExchange.h"

CDialog::CDialog(QWidget* pParent) : QDialog(pParent) {}

bool CDialog::UpdateData(bool bSaveAndValidate) {
    CDataExchange dx(this, bSaveAndValidate);
    const bool bRan = GuardCommand([&] { DoDataExchange(dx); });
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
        GuardCommand([&] { OnInitDialog(); });
    }
    QDialog::showEvent(pEvent);
}
