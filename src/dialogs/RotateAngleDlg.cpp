// SPDX-License-Identifier: MIT
// The rotate-any-angle dialog.
#include "dialogs/RotateAngleDlg.h"

#include "image/Pixel.h"
#include "image/RotateFilter.h"

#include <QColor>
#include <QColorDialog>
#include <QHBoxLayout>
#include <QPixmap>
#include <QPushButton>
#include <QToolButton>
#include <QVBoxLayout>

namespace {

QColor ColorOf(std::uint32_t crColour) {
    return {int(crColour & 0xFF), int((crColour >> 8) & 0xFF), int((crColour >> 16) & 0xFF)};
}

std::uint32_t ColorRefOf(const QColor& colour) {
    return std::uint32_t(colour.red()) | std::uint32_t(colour.green()) << 8 |
           std::uint32_t(colour.blue()) << 16;
}

} // namespace

CRotateAngleDlg::CRotateAngleDlg(const CUiServices& ui, const CImageBitmap* pImage,
                                 std::uint32_t crDefault, QWidget* pParent)
    : CPreviewDlg(ui, pImage, pParent), m_pAngle(AddRow({"Angle:", -360, 360, 0, 4})),
      m_crDefault(crDefault), m_crBackground(crDefault),
      m_pColorButton(new QPushButton(QStringLiteral("Background Color..."), this)),
      m_pSwatch(new QToolButton(this)) {
    setWindowTitle(QStringLiteral("Rotate Any Angle Operation"));
    m_pSwatch->setAccessibleName(QStringLiteral("Background colour"));
    m_pSwatch->setFixedSize(40, 24);
    auto* pColourRow = new QHBoxLayout;
    pColourRow->addWidget(m_pSwatch);
    pColourRow->addWidget(m_pColorButton);
    pColourRow->addStretch(1);
    TopLayout()->addLayout(pColourRow);
    connect(m_pSwatch, &QToolButton::clicked, this, &CRotateAngleDlg::OnChooseColor);
    connect(m_pColorButton, &QPushButton::clicked, this, &CRotateAngleDlg::OnChooseColor);
    SetBackground(crDefault);
}

RotateDialogResult CRotateAngleDlg::Result() const {
    return {m_pAngle->Value(), m_crBackground};
}

void CRotateAngleDlg::SetBackground(std::uint32_t crColour) {
    m_crBackground = crColour;
    QPixmap swatch(m_pSwatch->size() - QSize(12, 10));
    swatch.fill(ColorOf(crColour));
    m_pSwatch->setIcon(swatch);
    m_pSwatch->setIconSize(swatch.size());
    UpdatePreview();
}

void CRotateAngleDlg::OnChooseColor() {
    // Each choice starts from the setting, not from the colour chosen before in this run.
    QColorDialog dialog(ColorOf(m_crDefault), this);
    dialog.setOption(QColorDialog::DontUseNativeDialog);
    if (dialog.exec() == QDialog::Accepted)
        SetBackground(ColorRefOf(dialog.currentColor()));
}

std::unique_ptr<CImageFilter> CRotateAngleDlg::MakeFilter() const {
    return std::make_unique<CRotateFilter>(m_pAngle->Value() * CRotateFilter::kRadiansPerDegree,
                                           img::QuadFromColorRef(m_crBackground, 255));
}
