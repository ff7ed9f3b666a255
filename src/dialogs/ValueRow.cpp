// SPDX-License-Identifier: MIT
// A value row of an operation dialog.
#include "dialogs/ValueRow.h"

#include "dialogs/ValueSpinBox.h"

#include <QGridLayout>
#include <QLabel>
#include <QSignalBlocker>
#include <QSlider>

CValueRow::CValueRow(const ValueRowSpec& spec, QWidget* pParent, QGridLayout* pGrid, int nRow)
    : QObject(pParent), m_pLabel(new QLabel(QString::fromLatin1(spec.pszLabel), pParent)),
      m_pSpin(new CValueSpinBox(pParent)), m_pSlider(new QSlider(Qt::Horizontal, pParent)) {
    m_pSpin->setRange(spec.nMin, spec.nMax);
    m_pSpin->SetTypedCharLimit(spec.nTypedChars);
    m_pSpin->setValue(spec.nInitial);
    m_pSpin->setAlignment(Qt::AlignRight);
    m_pSlider->setRange(spec.nMin, spec.nMax);
    m_pSlider->setValue(spec.nInitial);
    m_pSlider->setMinimumWidth(160);
    m_pLabel->setBuddy(m_pSpin);
    pGrid->addWidget(m_pLabel, nRow, 0);
    pGrid->addWidget(m_pSpin, nRow, 1);
    pGrid->addWidget(m_pSlider, nRow, 2);
    // The slider moves the edit, and the edit's change is the one notification of the row.
    connect(m_pSlider, &QSlider::valueChanged, m_pSpin, &QSpinBox::setValue);
    connect(m_pSpin, &QSpinBox::valueChanged, this, [this](int nValue) {
        const QSignalBlocker block(m_pSlider);
        m_pSlider->setValue(nValue);
        emit valueChanged(nValue);
    });
}

int CValueRow::Value() const {
    return m_pSpin->value();
}

void CValueRow::SetValue(int nValue) {
    m_pSpin->setValue(nValue);
}

void CValueRow::SetEnabled(bool bEnabled) {
    for (QWidget* pWidget : {static_cast<QWidget*>(m_pLabel), static_cast<QWidget*>(m_pSpin),
                             static_cast<QWidget*>(m_pSlider)})
        pWidget->setEnabled(bEnabled);
}
