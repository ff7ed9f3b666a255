// SPDX-License-Identifier: MIT
// CValueSpinBox: the edit and arrows of a value row. The limit on typed characters is a check of
// what the user types, so text the program sets ("-100" in a three-character row) stays whole.
#pragma once

#include <QSpinBox>

class CValueSpinBox : public QSpinBox {
    Q_OBJECT

public:
    explicit CValueSpinBox(QWidget* pParent = nullptr) : QSpinBox(pParent) {}

    // 0: no limit.
    void SetTypedCharLimit(int nChars) noexcept { m_nTypedChars = nChars; }

protected:
    QValidator::State validate(QString& strInput, int& nPos) const override;

private:
    int m_nTypedChars = 0;
};
