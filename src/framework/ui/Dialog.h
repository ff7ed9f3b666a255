// SPDX-License-Identifier: MIT
// The dialog base: members move to the controls when the dialog first shows and back, checked,
// when OK is pressed; a failed check keeps the dialog open on the offending field.
#pragma once

#include <QDialog>

class CDataExchange;
class CUiServices;

class CDialog : public QDialog {
    Q_OBJECT

public:
    // Range messages and reports of failed handlers go to ui's message boxes.
    explicit CDialog(const CUiServices& ui, QWidget* pParent = nullptr);

    // One pass of data exchange; false when a check failed (the user has been told).
    bool UpdateData(bool bSaveAndValidate = true);

    // OK: keeps the dialog open when the values do not pass.
    void accept() override;

protected:
    const CUiServices& Ui() const noexcept { return m_ui; }
    // The exchanges of the dialog's controls and members.
    virtual void DoDataExchange(CDataExchange& dx);
    // Runs once before the dialog first shows; the base fills the controls.
    virtual void OnInitDialog();
    void showEvent(QShowEvent* pEvent) override;

private:
    const CUiServices& m_ui;
    bool m_bInitialised = false;
};
