// SPDX-License-Identifier: MIT
// The options pages' number fields.
#include "dialogs/options/RangeSpinBox.h"

#include <algorithm>

namespace {

// What may be typed: a sign and up to eight digits, whatever the range.
constexpr int kTypedLimit = 99999999;

} // namespace

CRangeSpinBox::CRangeSpinBox(int nMin, int nMax, QWidget* pParent)
    : QSpinBox(pParent), m_nMin(nMin), m_nMax(nMax) {
    setRange(-kTypedLimit, kTypedLimit);
    setValue(nMin);
    setAccelerated(true);
}

void CRangeSpinBox::stepBy(int nSteps) {
    setValue(std::clamp(value() + nSteps, m_nMin, m_nMax));
    selectAll();
}

QAbstractSpinBox::StepEnabled CRangeSpinBox::stepEnabled() const {
    StepEnabled enabled = StepNone;
    if (value() < m_nMax)
        enabled |= StepUpEnabled;
    if (value() > m_nMin)
        enabled |= StepDownEnabled;
    return enabled;
}
