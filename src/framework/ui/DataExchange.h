// SPDX-License-Identifier: MIT
// Dialog data exchange: values move between a dialog's controls and its members in one
// direction per pass, and typed values are checked against their ranges with the framework's
// messages. The first field that fails shows its message, takes the focus and ends the pass.
#pragma once

#include <QList>
#include <QString>

class QAbstractButton;
class QComboBox;
class QLineEdit;
class QSlider;
class QSpinBox;
class QWidget;
class CUiServices;

class CDataExchange {
public:
    // bSaveAndValidate: controls to members (with checks); otherwise members to controls. The
    // failure messages go to ui's message boxes.
    CDataExchange(const CUiServices& ui, QWidget* pDialog, bool bSaveAndValidate);

    bool IsSaving() const noexcept { return m_bSaveAndValidate; }
    bool Failed() const noexcept { return m_bFailed; }
    // The control the last exchange worked on; the range checks point the user at it.
    QWidget* LastControl() const noexcept { return m_pLastControl; }
    void SetLastControl(QWidget* pControl) noexcept { m_pLastControl = pControl; }
    // Shows the message, puts the focus on the last control and marks the pass failed.
    void Fail(const QString& strMessage);

private:
    const CUiServices& m_ui;
    QWidget* m_pDialog;
    bool m_bSaveAndValidate;
    bool m_bFailed = false;
    QWidget* m_pLastControl = nullptr;
};

// Text fields. A number that cannot be read keeps the member and fails with the framework's
// "Please enter an integer." / "Please enter a number.".
void DDX_Text(CDataExchange& dx, QLineEdit* pEdit, int& nValue);
void DDX_Text(CDataExchange& dx, QLineEdit* pEdit, double& dValue);
void DDX_Text(CDataExchange& dx, QLineEdit* pEdit, QString& strValue);
// A spin box's typed text, read like a text field (its own limits may be wider than the check).
void DDX_Text(CDataExchange& dx, QSpinBox* pSpin, int& nValue);
void DDX_Check(CDataExchange& dx, QAbstractButton* pButton, int& nValue);
// The index of the checked button of a group, -1 for none.
void DDX_Radio(CDataExchange& dx, const QList<QAbstractButton*>& buttons, int& nValue);
void DDX_CBIndex(CDataExchange& dx, QComboBox* pCombo, int& nIndex);
void DDX_Slider(CDataExchange& dx, QSlider* pSlider, int& nValue);

// Range checks of the value just exchanged (only when saving).
void DDV_MinMaxInt(CDataExchange& dx, long long nValue, long long nMin, long long nMax);
void DDV_MinMaxDouble(CDataExchange& dx, double dValue, double dMin, double dMax);
void DDV_MaxChars(CDataExchange& dx, const QString& strValue, int nMaxChars);
