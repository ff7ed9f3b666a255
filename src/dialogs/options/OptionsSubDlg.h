// SPDX-License-Identifier: MIT
// COptionsSubDlg: a page of the options dialog. The page object is made by its owner; its
// controls are made the first time the dialog shows it, and it then keeps what the user typed
// until the dialog closes. Values reach the settings only through OnOK, after every shown page
// has passed its checks.
#pragma once

#include "framework/ui/Dialog.h"

#include <QPointer>

class COptionsSubDlg : public CDialog {
    Q_OBJECT

public:
    COptionsSubDlg(const CUiServices& ui, int nTemplateID);

    int TemplateID() const noexcept { return m_nTemplateID; }
    // True once the page's controls exist (from its first display on).
    bool IsCreated() const noexcept { return m_bCreated; }
    // Makes the controls as a child of pParent.
    void Create(QWidget* pParent);

    // The controls' values into the members with the range checks, then CheckPage. False (the
    // user has been told) keeps the dialog open.
    bool Validate();
    // Gives the focus back to the field a failed Validate complained about.
    void FocusFailedControl();
    // The first control that takes the keyboard focus.
    void FocusFirstControl();

    // Rules between fields; false keeps the dialog open.
    virtual bool CheckPage() { return true; }
    // Stores the members into what the page edits (OK of the whole dialog).
    virtual void OnOK() {}
    // The dialog was cancelled.
    virtual void OnCancel() {}

protected:
    // Makes the page's controls and layout.
    virtual void BuildControls() = 0;
    // For CheckPage: the field the user has been told about takes the focus once the dialog
    // shows the page again. Returns false, CheckPage's answer.
    bool FailOn(QWidget* pControl);
    void keyPressEvent(QKeyEvent* pEvent) override;

private:
    int m_nTemplateID;
    bool m_bCreated = false;
    QPointer<QWidget> m_pFailedControl;
};
