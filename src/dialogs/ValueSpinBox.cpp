// SPDX-License-Identifier: MIT
// The edit and arrows of a value row.
#include "dialogs/ValueSpinBox.h"

QValidator::State CValueSpinBox::validate(QString& strInput, int& nPos) const {
    // The spin box validates its own text after every setValue as well; that text is never
    // longer than the limit allows unless the program set it, so only longer typing is refused.
    if (m_nTypedChars > 0 && strInput.size() > m_nTypedChars && strInput != text())
        return QValidator::Invalid;
    return QSpinBox::validate(strInput, nPos);
}
