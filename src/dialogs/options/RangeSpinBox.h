// SPDX-License-Identifier: MIT
// CRangeSpinBox: a number field with arrows that step within its range, while typing is free
// (any whole number of a few digits), so that a typed value out of range reaches the page's
// range check and its message instead of being swallowed or silently clamped.
#pragma once

#include <QSpinBox>

class CRangeSpinBox : public QSpinBox {
    Q_OBJECT

public:
    CRangeSpinBox(int nMin, int nMax, QWidget* pParent = nullptr);

    int StepMinimum() const noexcept { return m_nMin; }
    int StepMaximum() const noexcept { return m_nMax; }

    void stepBy(int nSteps) override;

protected:
    StepEnabled stepEnabled() const override;

private:
    int m_nMin;
    int m_nMax;
};
