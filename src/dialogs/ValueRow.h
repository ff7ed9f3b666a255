// SPDX-License-Identifier: MIT
// CValueRow: one numeric parameter of an operation dialog as an edit with arrows and a slider
// kept in step, with one range for both.
#pragma once

#include <QObject>
#include <QString>

class CValueSpinBox;
class QGridLayout;
class QLabel;
class QSlider;
class QWidget;

struct ValueRowSpec {
    const char* pszLabel; // the dialog's own text, "&" marks the mnemonic
    int nMin;
    int nMax;
    int nInitial;
    int nTypedChars; // 0: no limit
};

class CValueRow : public QObject {
    Q_OBJECT

public:
    // Adds label, edit and slider as row nRow of pGrid; the controls belong to pParent.
    CValueRow(const ValueRowSpec& spec, QWidget* pParent, QGridLayout* pGrid, int nRow);

    int Value() const;
    // Moves edit and slider (clamped to the range); valueChanged follows when it differs.
    void SetValue(int nValue);
    void SetEnabled(bool bEnabled);

    CValueSpinBox* Edit() const noexcept { return m_pSpin; }
    QSlider* Slider() const noexcept { return m_pSlider; }
    QLabel* Label() const noexcept { return m_pLabel; }

signals:
    // Typing, the arrows, the slider or SetValue changed the value.
    void valueChanged(int nValue);

private:
    QLabel* m_pLabel;
    CValueSpinBox* m_pSpin;
    QSlider* m_pSlider;
};
