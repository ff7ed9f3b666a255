// SPDX-License-Identifier: MIT
// The "Image Save Options" page.
#include "dialogs/options/ImageSaveOptionsPage.h"

#include "dialogs/options/RangeSpinBox.h"
#include "framework/ui/DataExchange.h"
#include "platform/AppSettings.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QVBoxLayout>

namespace {

QLabel* Label(const char* pszText, QWidget* pParent, QWidget* pBuddy = nullptr) {
    auto* pLabel = new QLabel(QString::fromLatin1(pszText), pParent);
    if (pBuddy != nullptr)
        pLabel->setBuddy(pBuddy);
    return pLabel;
}

} // namespace

CImageSaveOptionsPage::CImageSaveOptionsPage(const CUiServices& ui,
                                             platform::CAppSettings& settings)
    : COptionsSubDlg(ui, kTemplateID), m_settings(settings) {}

void CImageSaveOptionsPage::BuildControls() {
    auto* pGroup = new QGroupBox(QStringLiteral("JPEG compression"), this);
    m_pOptimize = new QCheckBox(QStringLiteral("Enable &optimal Huffman coding tables "), pGroup);
    m_pQuality = new CRangeSpinBox(0, kMaxPercent, pGroup);
    m_pSmoothing = new CRangeSpinBox(0, kMaxPercent, pGroup);
    m_pDpiX = new CRangeSpinBox(0, kMaxDpi, pGroup);
    m_pDpiY = new CRangeSpinBox(0, kMaxDpi, pGroup);
    auto* pGrid = new QGridLayout(pGroup);
    pGrid->addWidget(m_pOptimize, 0, 0, 1, 6);
    pGrid->addWidget(Label("Compression quality:", pGroup, m_pQuality), 1, 0, 1, 2);
    pGrid->addWidget(m_pQuality, 1, 2);
    pGrid->addWidget(Label("Smoothing factor:", pGroup, m_pSmoothing), 2, 0, 1, 2);
    pGrid->addWidget(m_pSmoothing, 2, 2);
    pGrid->addWidget(Label("Resolution", pGroup), 3, 0, 1, 6);
    pGrid->addWidget(Label("X:", pGroup, m_pDpiX), 4, 1, Qt::AlignRight);
    pGrid->addWidget(m_pDpiX, 4, 2);
    pGrid->addWidget(Label("DPI", pGroup), 4, 3);
    pGrid->addWidget(Label("Y:", pGroup, m_pDpiY), 5, 1, Qt::AlignRight);
    pGrid->addWidget(m_pDpiY, 5, 2);
    pGrid->addWidget(Label("DPI", pGroup), 5, 3);
    pGrid->setColumnMinimumWidth(0, 24);
    pGrid->setColumnStretch(5, 1);
    auto* pLayout = new QVBoxLayout(this);
    pLayout->addWidget(pGroup);
    pLayout->addStretch(1);
}

void CImageSaveOptionsPage::OnInitDialog() {
    m_bOptimize = m_settings.m_wJPEGOptimizeCoding != 0 ? 1 : 0;
    m_nQuality = m_settings.m_wJPEGQuality;
    m_nSmoothing = m_settings.m_wJPEGSmootingFactor;
    m_nDpiX = m_settings.m_sizeJPEGDIP.cx;
    m_nDpiY = m_settings.m_sizeJPEGDIP.cy;
    COptionsSubDlg::OnInitDialog();
}

void CImageSaveOptionsPage::DoDataExchange(CDataExchange& dx) {
    DDX_Check(dx, m_pOptimize, m_bOptimize);
    DDX_IntInRange(dx, m_pQuality, m_nQuality);
    DDX_IntInRange(dx, m_pSmoothing, m_nSmoothing);
    DDX_IntInRange(dx, m_pDpiX, m_nDpiX);
    DDX_IntInRange(dx, m_pDpiY, m_nDpiY);
}

void CImageSaveOptionsPage::OnOK() {
    // The stored set: automatic saves use it from now on; "Save As" keeps its own working set.
    m_settings.m_wJPEGOptimizeCoding = m_bOptimize != 0 ? 1 : 0;
    m_settings.m_wJPEGQuality = static_cast<std::uint16_t>(m_nQuality);
    m_settings.m_wJPEGSmootingFactor = static_cast<std::uint16_t>(m_nSmoothing);
    m_settings.m_sizeJPEGDIP = platform::SizeValue{m_nDpiX, m_nDpiY};
}
