// SPDX-License-Identifier: MIT
// The options pages' number fields.
#include "dialogs/options/RangeSpinBox.h"

#include "framework/DataValidation.h"
#include "framework/ui/DataExchange.h"

#include <QLineEdit>

#include <algorithm>
#include <limits>

namespace {

// What may be typed: a sign and up to eight digits, whatever the range.
constexpr int kTypedDigits = 8;

// The range message for what a field holds: a field without a number is as far from the range
// as a number can be.
void ExchangeInRange(CDataExchange& dx, const QString& strTyped, int& nValue, int nMin, int nMax) {
    const std::optional<long long> typed = fw::ParseInteger(strTyped);
    if (const auto strError =
            fw::CheckIntRange(typed.value_or(std::numeric_limits<long long>::min()), nMin, nMax)) {
        dx.Fail(*strError);
        return;
    }
    nValue = static_cast<int>(*typed);
}

} // namespace

CRangeSpinBox::CRangeSpinBox(int nMin, int nMax, QWidget* pParent)
    : QAbstractSpinBox(pParent), m_nMin(nMin), m_nMax(nMax) {
    SetValue(nMin);
    setAccelerated(true);
}

std::optional<int> CRangeSpinBox::Value() const {
    // validate() keeps the text to a few digits, so that any number read fits an int.
    const std::optional<long long> typed = fw::ParseInteger(text());
    if (!typed)
        return std::nullopt;
    return static_cast<int>(*typed);
}

void CRangeSpinBox::SetValue(int nValue) {
    lineEdit()->setText(QString::number(nValue));
}

void CRangeSpinBox::stepBy(int nSteps) {
    // From a field without a number the arrows start at the range's low end.
    const std::optional<int> typed = Value();
    SetValue(typed ? std::clamp(*typed + nSteps, m_nMin, m_nMax) : m_nMin);
    selectAll();
}

QAbstractSpinBox::StepEnabled CRangeSpinBox::stepEnabled() const {
    const std::optional<int> typed = Value();
    if (!typed)
        return StepUpEnabled | StepDownEnabled;
    StepEnabled enabled = StepNone;
    if (*typed < m_nMax)
        enabled |= StepUpEnabled;
    if (*typed > m_nMin)
        enabled |= StepDownEnabled;
    return enabled;
}

QValidator::State CRangeSpinBox::validate(QString& strInput, int& /*nPos*/) const {
    const QString strTrimmed = strInput.trimmed();
    const qsizetype nSign =
        !strTrimmed.isEmpty() && (strTrimmed[0] == u'-' || strTrimmed[0] == u'+') ? 1 : 0;
    const qsizetype nDigits = strTrimmed.size() - nSign;
    if (nDigits > kTypedDigits)
        return QValidator::Invalid;
    for (qsizetype i = nSign; i < strTrimmed.size(); ++i) {
        if (strTrimmed[i] < u'0' || strTrimmed[i] > u'9')
            return QValidator::Invalid;
    }
    return nDigits == 0 ? QValidator::Intermediate : QValidator::Acceptable;
}

int CRangeSpinBox::NumberWidth() const {
    const QFontMetrics metrics = fontMetrics();
    return std::max(metrics.horizontalAdvance(QString::number(m_nMin)),
                    metrics.horizontalAdvance(QString::number(m_nMax)));
}

QSize CRangeSpinBox::sizeHint() const {
    // The base class knows no values and measures an empty field.
    return QAbstractSpinBox::sizeHint() + QSize(NumberWidth(), 0);
}

QSize CRangeSpinBox::minimumSizeHint() const {
    return QAbstractSpinBox::minimumSizeHint() + QSize(NumberWidth(), 0);
}

void DDX_IntInRange(CDataExchange& dx, CRangeSpinBox* pField, int& nValue) {
    if (dx.Failed() || pField == nullptr)
        return;
    dx.SetLastControl(pField);
    if (dx.IsSaving())
        ExchangeInRange(dx, pField->text(), nValue, pField->StepMinimum(), pField->StepMaximum());
    else
        pField->SetValue(nValue);
}

void DDX_IntInRange(CDataExchange& dx, QLineEdit* pField, int& nValue, int nMin, int nMax) {
    if (dx.Failed() || pField == nullptr)
        return;
    dx.SetLastControl(pField);
    if (dx.IsSaving())
        ExchangeInRange(dx, pField->text(), nValue, nMin, nMax);
    else
        pField->setText(QString::number(nValue));
}
