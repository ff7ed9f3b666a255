// SPDX-License-Identifier: MIT
// The "Create New Image" dialog.
#include "dialogs/NewImageDlg.h"

#include "framework/CommandIds.h"
#include "framework/DataValidation.h"
#include "framework/StringTable.h"
#include "framework/UiServices.h"
#include "framework/ui/DataExchange.h"
#include "image/ImageBitmap.h"
#include "image/LengthUnits.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

static_assert(int(img::LengthUnit::Centimeters) == CNewImageDlg::UnitCentimeters &&
              int(img::ResolutionUnit::PerCentimeter) == CNewImageDlg::PerCentimeter);

QComboBox* UnitList(QWidget* pParent, const QStringList& items) {
    auto* pList = new QComboBox(pParent);
    pList->addItems(items);
    return pList;
}

QLineEdit* NumberEdit(QWidget* pParent) {
    auto* pEdit = new QLineEdit(pParent);
    pEdit->setAlignment(Qt::AlignRight);
    pEdit->setMinimumWidth(90);
    return pEdit;
}

QString NumberText(double dValue) {
    return QString::number(dValue, 'g', 12);
}

} // namespace

CNewImageDlg::CNewImageDlg(const CUiServices& ui, QWidget* pParent)
    : CDialog(ui, pParent), m_pWidth(NumberEdit(this)), m_pHeight(NumberEdit(this)),
      m_pHorzRes(NumberEdit(this)), m_pVertRes(NumberEdit(this)) {
    setWindowTitle(QStringLiteral("Create New Image"));
    const QStringList sizeUnits{QStringLiteral("Pixels"), QStringLiteral("Inches"),
                                QStringLiteral("Centimeters")};
    const QStringList resUnits{QStringLiteral("Pixels/Inch"), QStringLiteral("Pixels/cm")};
    m_pWidthUnits = UnitList(this, sizeUnits);
    m_pHeightUnits = UnitList(this, sizeUnits);
    m_pHorzResUnits = UnitList(this, resUnits);
    m_pVertResUnits = UnitList(this, resUnits);

    auto* pGrid = new QGridLayout;
    const struct {
        const char* pszLabel;
        QLineEdit* pEdit;
        QComboBox* pUnits;
    } rows[] = {{"Image &Width:", m_pWidth, m_pWidthUnits},
                {"Image H&eight:", m_pHeight, m_pHeightUnits},
                {"&Horizontal Res:", m_pHorzRes, m_pHorzResUnits},
                {"&Vertical Res:", m_pVertRes, m_pVertResUnits}};
    int nRow = 0;
    for (const auto& row : rows) {
        auto* pLabel = new QLabel(QString::fromLatin1(row.pszLabel), this);
        pLabel->setBuddy(row.pEdit);
        pGrid->addWidget(pLabel, nRow, 0);
        pGrid->addWidget(row.pEdit, nRow, 1);
        pGrid->addWidget(row.pUnits, nRow, 2);
        ++nRow;
    }
    auto* pButtons = new QDialogButtonBox(this);
    QPushButton* pCreate =
        pButtons->addButton(QStringLiteral("&Create"), QDialogButtonBox::AcceptRole);
    pButtons->addButton(QStringLiteral("&Cancel"), QDialogButtonBox::RejectRole);
    QPushButton* pHelp = pButtons->addButton(QStringLiteral("&Help"), QDialogButtonBox::HelpRole);
    pCreate->setDefault(true);
    connect(pButtons, &QDialogButtonBox::accepted, this, &CNewImageDlg::OnCreate);
    connect(pButtons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(pHelp, &QPushButton::clicked, this, &CNewImageDlg::helpRequested);
    auto* pLayout = new QVBoxLayout(this);
    pLayout->addLayout(pGrid);
    pLayout->addWidget(pButtons);

    connect(m_pWidthUnits, &QComboBox::currentIndexChanged, this,
            [this] { OnSizeUnitChanged(true); });
    connect(m_pHeightUnits, &QComboBox::currentIndexChanged, this,
            [this] { OnSizeUnitChanged(false); });
    connect(m_pHorzResUnits, &QComboBox::currentIndexChanged, this,
            [this] { OnResolutionUnitChanged(true); });
    connect(m_pVertResUnits, &QComboBox::currentIndexChanged, this,
            [this] { OnResolutionUnitChanged(false); });
}

void CNewImageDlg::OnInitDialog() {
    // Every run starts with all lists at their first unit and the values in those units.
    m_bSyncingUnits = true;
    for (QComboBox* pList : {m_pWidthUnits, m_pHeightUnits, m_pHorzResUnits, m_pVertResUnits})
        pList->setCurrentIndex(0);
    m_bSyncingUnits = false;
    m_widthUnit = m_heightUnit = UnitPixels;
    m_horzResUnit = m_vertResUnit = PerInch;
    CDialog::OnInitDialog();
}

void CNewImageDlg::DoDataExchange(CDataExchange& dx) {
    DDX_Text(dx, m_pWidth, m_dWidth);
    DDX_Text(dx, m_pHeight, m_dHeight);
    DDX_Text(dx, m_pHorzRes, m_dHorzRes);
    DDX_Text(dx, m_pVertRes, m_dVertRes);
    if (!dx.IsSaving() || dx.Failed())
        return;
    // The sizes are in pixels now (OnCreate converted them): whole, positive and within what a
    // bitmap can hold.
    const double dMax = CImageBitmap::kMaxSide;
    dx.SetLastControl(m_pWidth);
    DDV_MinMaxDouble(dx, m_dWidth, 1, dMax);
    dx.SetLastControl(m_pHeight);
    DDV_MinMaxDouble(dx, m_dHeight, 1, dMax);
    if (dx.Failed())
        return;
    const double dBytes = m_dWidth * m_dHeight * 4;
    if (dBytes > double(CImageBitmap::kMaxPixelBytes)) {
        dx.Fail(
            QStringLiteral(
                "An image of %1 x %2 pixels is too large: at most %3 MiB of pixels can be created.")
                .arg(WidthPixels())
                .arg(HeightPixels())
                .arg(CImageBitmap::kMaxPixelBytes >> 20));
    }
}

bool CNewImageDlg::ConvertSizeField(bool bWidth, ESizeUnit to) {
    QLineEdit* pEdit = bWidth ? m_pWidth : m_pHeight;
    QLineEdit* pRes = bWidth ? m_pHorzRes : m_pVertRes;
    const ESizeUnit from = bWidth ? m_widthUnit : m_heightUnit;
    if (from == to)
        return true;
    const auto dValue = fw::ParseReal(pEdit->text());
    const auto dRes = fw::ParseReal(pRes->text());
    if (!dValue || !dRes) {
        Ui().AppMessageBox(LoadString(IDP_PARSE_REAL), EMsgButtons::Ok, EMsgIcon::Exclamation);
        (dValue ? pRes : pEdit)->setFocus();
        return false;
    }
    if (!(*dRes > 0)) {
        Ui().AppMessageBox(QStringLiteral("Please enter a resolution greater than 0."),
                           EMsgButtons::Ok, EMsgIcon::Exclamation);
        pRes->setFocus();
        return false;
    }
    const EResolutionUnit resUnit = bWidth ? m_horzResUnit : m_vertResUnit;
    const double dNew = img::ConvertLength(*dValue, img::LengthUnit(from), img::LengthUnit(to),
                                           *dRes, img::ResolutionUnit(resUnit),
                                           bWidth ? img::kWidthRoundUp : img::kHeightRoundUp);
    (bWidth ? m_dWidth : m_dHeight) = dNew;
    (bWidth ? m_widthUnit : m_heightUnit) = to;
    pEdit->setText(NumberText(dNew));
    return true;
}

void CNewImageDlg::OnSizeUnitChanged(bool bWidth) {
    if (m_bSyncingUnits)
        return;
    QComboBox* pList = bWidth ? m_pWidthUnits : m_pHeightUnits;
    if (!ConvertSizeField(bWidth, static_cast<ESizeUnit>(pList->currentIndex()))) {
        // The list goes back to the unit the value is still in.
        m_bSyncingUnits = true;
        pList->setCurrentIndex(bWidth ? m_widthUnit : m_heightUnit);
        m_bSyncingUnits = false;
    }
}

void CNewImageDlg::OnResolutionUnitChanged(bool bHorizontal) {
    if (m_bSyncingUnits)
        return;
    QComboBox* pList = bHorizontal ? m_pHorzResUnits : m_pVertResUnits;
    QLineEdit* pEdit = bHorizontal ? m_pHorzRes : m_pVertRes;
    EResolutionUnit& unit = bHorizontal ? m_horzResUnit : m_vertResUnit;
    const auto to = static_cast<EResolutionUnit>(pList->currentIndex());
    const auto dValue = fw::ParseReal(pEdit->text());
    if (!dValue) {
        Ui().AppMessageBox(LoadString(IDP_PARSE_REAL), EMsgButtons::Ok, EMsgIcon::Exclamation);
        m_bSyncingUnits = true;
        pList->setCurrentIndex(unit);
        m_bSyncingUnits = false;
        return;
    }
    const double dNew =
        img::ConvertResolution(*dValue, img::ResolutionUnit(unit), img::ResolutionUnit(to));
    (bHorizontal ? m_dHorzRes : m_dVertRes) = dNew;
    unit = to;
    pEdit->setText(NumberText(dNew));
}

void CNewImageDlg::OnCreate() {
    // Both sizes end in pixels before they are checked.
    m_bSyncingUnits = true;
    m_pWidthUnits->setCurrentIndex(UnitPixels);
    m_pHeightUnits->setCurrentIndex(UnitPixels);
    m_bSyncingUnits = false;
    const bool bConverted =
        ConvertSizeField(true, UnitPixels) && ConvertSizeField(false, UnitPixels);
    if (!bConverted) {
        m_bSyncingUnits = true;
        m_pWidthUnits->setCurrentIndex(m_widthUnit);
        m_pHeightUnits->setCurrentIndex(m_heightUnit);
        m_bSyncingUnits = false;
        return;
    }
    accept();
}
