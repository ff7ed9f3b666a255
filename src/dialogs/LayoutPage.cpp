// SPDX-License-Identifier: MIT
// The "Layout" page of the print layout dialog.
#include "dialogs/LayoutPage.h"

#include "dialogs/SpinButtons.h"
#include "framework/DataValidation.h"
#include "framework/ui/DataExchange.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QVBoxLayout>

#include <algorithm>
#include <cmath>

namespace {

// One spin step, in the unit shown.
constexpr double kStep = 0.1;
// The largest length the page takes, in either unit (a kilometre in centimetres).
constexpr double kMaxLength = 100000;

bool IsHorizontal(CLayoutPage::EField field) {
    return field == CLayoutPage::FieldLeft || field == CLayoutPage::FieldRight;
}

CLayoutPage::EField Opposite(CLayoutPage::EField field) {
    switch (field) {
    case CLayoutPage::FieldLeft:
        return CLayoutPage::FieldRight;
    case CLayoutPage::FieldRight:
        return CLayoutPage::FieldLeft;
    case CLayoutPage::FieldTop:
        return CLayoutPage::FieldBottom;
    case CLayoutPage::FieldBottom:
        return CLayoutPage::FieldTop;
    case CLayoutPage::FieldX:
        return CLayoutPage::FieldY;
    default:
        return CLayoutPage::FieldX;
    }
}

} // namespace

CLayoutPage::CLayoutPage(PrintLayoutSettings& record, int nImageWidth, int nImageHeight,
                         QWidget* pParent)
    : QWidget(pParent), m_record(record), m_nImageWidth(std::max(nImageWidth, 0)),
      m_nImageHeight(std::max(nImageHeight, 0)) {
    auto* pUnits = new QGroupBox(QStringLiteral("Units"), this);
    auto* pUnitRow = new QHBoxLayout(pUnits);
    m_pInches = new QRadioButton(QStringLiteral("Inches"), pUnits);
    m_pCentimeters = new QRadioButton(QStringLiteral("Centimeters"), pUnits);
    pUnitRow->addWidget(m_pInches);
    pUnitRow->addWidget(m_pCentimeters);
    auto* pLayout = new QVBoxLayout(this);
    pLayout->addWidget(BuildSizeGroup());
    pLayout->addWidget(BuildCenterGroup());
    pLayout->addWidget(BuildMarginGroup());
    pLayout->addWidget(pUnits);
    pLayout->addStretch(1);
    Connect();
}

QWidget* CLayoutPage::BuildSizeGroup() {
    auto* pGroup = new QGroupBox(QStringLiteral("Size"), this);
    auto* pGrid = new QGridLayout(pGroup);
    m_pMethod = new QComboBox(pGroup);
    m_pMethod->addItems({QStringLiteral("Fit to Margins"), QStringLiteral("Height and Width")});
    auto* pMethodLabel = new QLabel(QStringLiteral("&Method:"), pGroup);
    pMethodLabel->setBuddy(m_pMethod);
    pGrid->addWidget(pMethodLabel, 0, 0);
    pGrid->addWidget(m_pMethod, 0, 1, 1, 3);
    AddLengthRow(pGrid, 1, FieldX, QStringLiteral("X:"));
    AddLengthRow(pGrid, 2, FieldY, QStringLiteral("Y:"));
    return pGroup;
}

QWidget* CLayoutPage::BuildCenterGroup() {
    auto* pGroup = new QGroupBox(QStringLiteral("Center Image On Page"), this);
    auto* pRow = new QHBoxLayout(pGroup);
    m_pCenterH = new QCheckBox(QStringLiteral("Horizontally"), pGroup);
    m_pCenterV = new QCheckBox(QStringLiteral("Vertically"), pGroup);
    pRow->addWidget(m_pCenterH);
    pRow->addWidget(m_pCenterV);
    return pGroup;
}

QWidget* CLayoutPage::BuildMarginGroup() {
    auto* pGroup = new QGroupBox(QStringLiteral("Margins"), this);
    auto* pGrid = new QGridLayout(pGroup);
    AddLengthRow(pGrid, 0, FieldLeft, QStringLiteral("&Left:"));
    AddLengthRow(pGrid, 1, FieldTop, QStringLiteral("&Top"));
    AddLengthRow(pGrid, 2, FieldRight, QStringLiteral("&Right:"));
    AddLengthRow(pGrid, 3, FieldBottom, QStringLiteral("&Bottom:"));
    return pGroup;
}

void CLayoutPage::AddLengthRow(QGridLayout* pGrid, int nRow, EField field,
                               const QString& strLabel) {
    QWidget* pGroup = pGrid->parentWidget();
    auto* pEdit = new QLineEdit(pGroup);
    pEdit->setAlignment(Qt::AlignRight);
    pEdit->setMaximumWidth(90);
    auto* pLabel = new QLabel(strLabel, pGroup);
    pLabel->setBuddy(pEdit);
    m_edits[field] = pEdit;
    m_spins[field] = new CSpinButtons(pEdit, pGroup);
    m_unitLabels[field] = new QLabel(pGroup);
    pGrid->addWidget(pLabel, nRow, 0);
    pGrid->addWidget(pEdit, nRow, 1);
    pGrid->addWidget(m_spins[field], nRow, 2);
    pGrid->addWidget(m_unitLabels[field], nRow, 3);
}

void CLayoutPage::Connect() {
    for (int i = 0; i < FieldCount; ++i) {
        const auto field = static_cast<EField>(i);
        connect(m_edits[field], &QLineEdit::textEdited, this, [this, field] { OnTyped(field); });
        connect(m_spins[field], &CSpinButtons::stepped, this, [this, field](int nDirection) {
            if (field == FieldX || field == FieldY)
                OnSizeSpin(field, nDirection);
            else
                OnMarginSpin(field, nDirection);
        });
    }
    connect(m_pMethod, &QComboBox::currentIndexChanged, this, &CLayoutPage::OnMethod);
    connect(m_pCenterH, &QCheckBox::toggled, this, &CLayoutPage::OnCenter);
    connect(m_pCenterV, &QCheckBox::toggled, this, &CLayoutPage::OnCenter);
    connect(m_pInches, &QRadioButton::toggled, this, [this](bool bChecked) {
        SetUnit(bChecked ? img::LengthUnit::Inches : img::LengthUnit::Centimeters);
    });
}

void CLayoutPage::Initialize() {
    m_bShowing = true;
    m_pCentimeters->setChecked(true);
    m_bShowing = false;
    SetUnit(img::LengthUnit::Centimeters);
}

void CLayoutPage::Exchange(CDataExchange& dx) {
    for (int i = 0; i < FieldCount; ++i) {
        if (!m_edits[i]->isEnabled())
            continue;
        DDX_Text(dx, m_edits[i], m_values[i]);
        if (dx.IsSaving())
            DDV_MinMaxDouble(dx, m_values[i], 0, kMaxLength);
    }
}

void CLayoutPage::SetUnit(img::LengthUnit unit) {
    m_unit = unit;
    const QString strUnit =
        unit == img::LengthUnit::Inches ? QStringLiteral("In") : QStringLiteral("Cm");
    for (QLabel* pLabel : m_unitLabels)
        pLabel->setText(strUnit);
    ShowRecord();
}

void CLayoutPage::ShowRecord() {
    m_bShowing = true;
    for (int i = 0; i < FieldCount; ++i) {
        m_values[i] = img::LayoutLengthShown(Stored(static_cast<EField>(i)), m_unit);
        ShowValue(static_cast<EField>(i));
    }
    m_pMethod->setCurrentIndex(m_record.dwPrintMode == 1 || m_record.dwPrintMode == 2
                                   ? MethodFitToMargins
                                   : MethodHeightAndWidth);
    m_pCenterH->setChecked((m_record.dwCenterFlags & CPrintLayout::kCenterHorizontally) != 0);
    m_pCenterV->setChecked((m_record.dwCenterFlags & CPrintLayout::kCenterVertically) != 0);
    EnableSize();
    m_bShowing = false;
}

void CLayoutPage::ShowValue(EField field) {
    m_edits[field]->setText(fw::RangeBoundText(m_values[field]));
}

void CLayoutPage::EnableSize() {
    const bool bSized = m_pMethod->currentIndex() == MethodHeightAndWidth;
    for (EField field : {FieldX, FieldY}) {
        m_edits[field]->setEnabled(bSized);
        m_spins[field]->setEnabled(bSized);
    }
}

std::int32_t& CLayoutPage::Stored(EField field) {
    switch (field) {
    case FieldX:
        return m_record.nPrintWidth;
    case FieldY:
        return m_record.nPrintHeight;
    case FieldLeft:
        return m_record.nMarginLeft;
    case FieldTop:
        return m_record.nMarginTop;
    case FieldRight:
        return m_record.nMarginRight;
    default:
        return m_record.nMarginBottom;
    }
}

// Only the fields the user changed are stored: a length shown in inches is cut to hundredths,
// and storing it back unchanged would move the others by a fraction each time.
void CLayoutPage::Store(EField field) {
    Stored(field) = img::LayoutLengthStored(m_values[field], m_unit);
}

void CLayoutPage::OnTyped(EField field) {
    // A field being typed may hold no number for a moment (empty, a lone "-"): the record keeps
    // its value until it does, and OK says what is wrong if it still does not.
    const std::optional<double> dValue = fw::ParseReal(m_edits[field]->text());
    if (!dValue)
        return;
    m_values[field] = *dValue;
    Store(field);
    if (field == FieldX || field == FieldY)
        KeepProportion(field);
    emit recordChanged();
}

void CLayoutPage::OnMethod(int nIndex) {
    EnableSize();
    if (m_bShowing)
        return;
    m_record.dwPrintMode = nIndex == MethodFitToMargins ? 1 : 3;
    emit recordChanged();
}

void CLayoutPage::OnCenter() {
    if (m_bShowing)
        return;
    m_record.dwCenterFlags = (m_pCenterH->isChecked() ? CPrintLayout::kCenterHorizontally : 0) |
                             (m_pCenterV->isChecked() ? CPrintLayout::kCenterVertically : 0);
    emit recordChanged();
}

double CLayoutPage::OtherSidePerSide(EField field) const {
    if (m_nImageWidth <= 0 || m_nImageHeight <= 0)
        return 0;
    return field == FieldX ? double(m_nImageHeight) / m_nImageWidth
                           : double(m_nImageWidth) / m_nImageHeight;
}

void CLayoutPage::KeepProportion(EField field) {
    const double dRatio = OtherSidePerSide(field);
    if (dRatio <= 0)
        return;
    const EField other = Opposite(field);
    m_values[other] = std::round(100 * m_values[field] * dRatio) / 100;
    ShowValue(other);
    Store(other);
}

void CLayoutPage::OnSizeSpin(EField field, int nDirection) {
    // The other side follows in the proportion of the image, in whole hundredths.
    const EField other = Opposite(field);
    const double dOtherStep = std::round(10 * OtherSidePerSide(field)) / 100;
    m_values[field] = std::max(0.0, m_values[field] + nDirection * kStep);
    m_values[other] = std::max(0.0, m_values[other] + nDirection * dOtherStep);
    for (EField f : {field, other}) {
        ShowValue(f);
        Store(f);
    }
    emit recordChanged();
}

void CLayoutPage::OnMarginSpin(EField field, int nDirection) {
    const double dPage = img::LayoutLengthShown(
        IsHorizontal(field) ? m_record.nPageWidth : m_record.nPageHeight, m_unit);
    const double dOther = m_values[Opposite(field)];
    double& dValue = m_values[field];
    if (nDirection < 0)
        dValue = std::max(0.0, dValue - kStep);
    else if (dValue + kStep + dOther >= dPage)
        dValue = dPage - dOther;
    else
        dValue += kStep;
    KeepMarginWithinPage(field);
    ShowValue(field);
    Store(field);
    emit recordChanged();
}

void CLayoutPage::KeepMarginWithinPage(EField field) {
    const double dPage = img::LayoutLengthShown(
        IsHorizontal(field) ? m_record.nPageWidth : m_record.nPageHeight, m_unit);
    const double dOther = m_values[Opposite(field)];
    if (m_values[field] + dOther > dPage)
        m_values[field] = std::max(0.0, dPage - dOther);
}
