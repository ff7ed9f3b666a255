// SPDX-License-Identifier: MIT
// Two size rows in a proportion.
#include "dialogs/ProportionLink.h"

#include "dialogs/ValueRow.h"

#include <QCheckBox>
#include <QScopedValueRollback>

#include <cmath>

CProportionLink::CProportionLink(CValueRow& first, CValueRow& second, double dSecondPerFirst,
                                 QCheckBox& check)
    : QObject(&check), m_first(first), m_second(second), m_dSecondPerFirst(dSecondPerFirst),
      m_check(check) {
    connect(&m_first, &CValueRow::valueChanged, this,
            [this] { Follow(m_first, m_second, m_dSecondPerFirst); });
    connect(&m_second, &CValueRow::valueChanged, this,
            [this] { Follow(m_second, m_first, 1 / m_dSecondPerFirst); });
}

void CProportionLink::SetValues(int nFirst, int nSecond) {
    const QScopedValueRollback following(m_bFollowing, true);
    m_first.SetValue(nFirst);
    m_second.SetValue(nSecond);
}

void CProportionLink::Follow(const CValueRow& changed, CValueRow& other, double dOtherPerChanged) {
    // The other row's own change comes back here: it must not move the first again, or a
    // rounded value would walk the typed one away from what the user typed.
    if (m_bFollowing || !m_check.isChecked())
        return;
    const QScopedValueRollback following(m_bFollowing, true);
    // The row keeps the result within its range (at least one pixel or one percent).
    other.SetValue(static_cast<int>(std::lround(changed.Value() * dOtherPerChanged)));
}
