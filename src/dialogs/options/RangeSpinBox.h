// SPDX-License-Identifier: MIT
// CRangeSpinBox: a number field with arrows that step within its range, while typing is free
// (any whole number of a few digits), so that a typed value out of range reaches the page's
// range check and its message instead of being swallowed or silently clamped. The field's text
// is what counts: an emptied field stays empty (a QSpinBox would put its last value back when
// the focus leaves) until OK asks for a number in the range.
#pragma once

#include <QAbstractSpinBox>

#include <optional>

class CDataExchange;
class QLineEdit;

class CRangeSpinBox : public QAbstractSpinBox {
    Q_OBJECT

public:
    CRangeSpinBox(int nMin, int nMax, QWidget* pParent = nullptr);

    int StepMinimum() const noexcept { return m_nMin; }
    int StepMaximum() const noexcept { return m_nMax; }

    // The number typed, or nothing when the field holds none (emptied, a lone sign).
    std::optional<int> Value() const;
    void SetValue(int nValue);

    void stepBy(int nSteps) override;
    QValidator::State validate(QString& strInput, int& nPos) const override;
    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    StepEnabled stepEnabled() const override;

private:
    // The room the widest number of the range takes.
    int NumberWidth() const;

    int m_nMin;
    int m_nMax;
};

// The options pages' whole-number fields. The typed number goes to nValue only when it lies in
// the range; an emptied field, a lone sign or a number outside the range keeps the dialog open
// with the framework's "Please enter an integer between %1 and %2.", so that the user learns
// what the field takes. The spin box brings its own range.
void DDX_IntInRange(CDataExchange& dx, CRangeSpinBox* pField, int& nValue);
void DDX_IntInRange(CDataExchange& dx, QLineEdit* pField, int& nValue, int nMin, int nMax);
