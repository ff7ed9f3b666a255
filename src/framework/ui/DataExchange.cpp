// SPDX-License-Identifier: MIT
// Dialog data exchange and validation.
#include "framework/ui/DataExchange.h"

#include "framework/CommandIds.h"
#include "framework/DataValidation.h"
#include "framework/StringTable.h"
#include "framework/UiServices.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QLineEdit>
#include <QSlider>
#include <QSpinBox>

#include <limits>

CDataExchange::CDataExchange(const CUiServices& ui, QWidget* pDialog, bool bSaveAndValidate)
    : m_ui(ui), m_pDialog(pDialog), m_bSaveAndValidate(bSaveAndValidate) {}

void CDataExchange::Fail(const QString& strMessage) {
    if (m_bFailed)
        return;
    m_bFailed = true;
    m_ui.AppMessageBox(strMessage, EMsgButtons::Ok, EMsgIcon::Exclamation);
    if (m_pLastControl != nullptr) {
        m_pLastControl->setFocus(Qt::OtherFocusReason);
        if (auto* pEdit = qobject_cast<QLineEdit*>(m_pLastControl))
            pEdit->selectAll();
        else if (auto* pSpin = qobject_cast<QSpinBox*>(m_pLastControl))
            pSpin->selectAll();
    }
}

namespace {

// The integer of a field, or the failure; the member is left as it was on failure.
void ReadInt(CDataExchange& dx, const QString& strText, int& nValue) {
    const auto nRead = fw::ParseInteger(strText);
    if (!nRead || *nRead < std::numeric_limits<int>::min() ||
        *nRead > std::numeric_limits<int>::max()) {
        dx.Fail(LoadString(IDP_PARSE_INT));
        return;
    }
    nValue = static_cast<int>(*nRead);
}

bool Skip(const CDataExchange& dx, QWidget* pControl) {
    return dx.Failed() || pControl == nullptr;
}

} // namespace

void DDX_Text(CDataExchange& dx, QLineEdit* pEdit, int& nValue) {
    if (Skip(dx, pEdit))
        return;
    dx.SetLastControl(pEdit);
    if (dx.IsSaving())
        ReadInt(dx, pEdit->text(), nValue);
    else
        pEdit->setText(QString::number(nValue));
}

void DDX_Text(CDataExchange& dx, QLineEdit* pEdit, double& dValue) {
    if (Skip(dx, pEdit))
        return;
    dx.SetLastControl(pEdit);
    if (!dx.IsSaving()) {
        pEdit->setText(fw::RangeBoundText(dValue));
        return;
    }
    const auto dRead = fw::ParseReal(pEdit->text());
    if (!dRead) {
        dx.Fail(LoadString(IDP_PARSE_REAL));
        return;
    }
    dValue = *dRead;
}

void DDX_Text(CDataExchange& dx, QLineEdit* pEdit, QString& strValue) {
    if (Skip(dx, pEdit))
        return;
    dx.SetLastControl(pEdit);
    if (dx.IsSaving())
        strValue = pEdit->text();
    else
        pEdit->setText(strValue);
}

void DDX_Text(CDataExchange& dx, QSpinBox* pSpin, int& nValue) {
    if (Skip(dx, pSpin))
        return;
    dx.SetLastControl(pSpin);
    if (dx.IsSaving()) {
        pSpin->interpretText();
        ReadInt(dx, pSpin->cleanText(), nValue);
    } else {
        pSpin->setValue(nValue);
    }
}

void DDX_Check(CDataExchange& dx, QAbstractButton* pButton, int& nValue) {
    if (Skip(dx, pButton))
        return;
    dx.SetLastControl(pButton);
    if (dx.IsSaving())
        nValue = pButton->isChecked() ? 1 : 0;
    else
        pButton->setChecked(nValue != 0);
}

void DDX_Radio(CDataExchange& dx, const QList<QAbstractButton*>& buttons, int& nValue) {
    if (dx.Failed() || buttons.isEmpty())
        return;
    dx.SetLastControl(buttons.front());
    if (dx.IsSaving()) {
        nValue = -1;
        for (qsizetype i = 0; i < buttons.size(); ++i) {
            if (buttons[i]->isChecked())
                nValue = static_cast<int>(i);
        }
        return;
    }
    for (qsizetype i = 0; i < buttons.size(); ++i)
        buttons[i]->setChecked(i == nValue);
}

void DDX_CBIndex(CDataExchange& dx, QComboBox* pCombo, int& nIndex) {
    if (Skip(dx, pCombo))
        return;
    dx.SetLastControl(pCombo);
    if (dx.IsSaving())
        nIndex = pCombo->currentIndex();
    else
        pCombo->setCurrentIndex(nIndex);
}

void DDX_Slider(CDataExchange& dx, QSlider* pSlider, int& nValue) {
    if (Skip(dx, pSlider))
        return;
    dx.SetLastControl(pSlider);
    if (dx.IsSaving())
        nValue = pSlider->value();
    else
        pSlider->setValue(nValue);
}

void DDV_MinMaxInt(CDataExchange& dx, long long nValue, long long nMin, long long nMax) {
    if (dx.Failed() || !dx.IsSaving())
        return;
    if (const auto strError = fw::CheckIntRange(nValue, nMin, nMax))
        dx.Fail(*strError);
}

void DDV_MinMaxDouble(CDataExchange& dx, double dValue, double dMin, double dMax) {
    if (dx.Failed() || !dx.IsSaving())
        return;
    if (const auto strError = fw::CheckRealRange(dValue, dMin, dMax))
        dx.Fail(*strError);
}

void DDV_MaxChars(CDataExchange& dx, const QString& strValue, int nMaxChars) {
    if (dx.Failed())
        return;
    if (!dx.IsSaving()) {
        if (auto* pEdit = qobject_cast<QLineEdit*>(dx.LastControl()))
            pEdit->setMaxLength(nMaxChars);
        return;
    }
    if (const auto strError = fw::CheckMaxChars(strValue, nMaxChars))
        dx.Fail(*strError);
}
