// SPDX-License-Identifier: MIT
// The save dialog with the JPEG options.
#include "dialogs/CustomSaveDlg.h"

#include "dialogs/DialogGeometry.h"
#include "dialogs/ImageFileFilters.h"
#include "platform/AppSettings.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QSpinBox>

namespace {

QSpinBox* OptionSpin(QWidget* pParent, int nMax, int nValue) {
    auto* pSpin = new QSpinBox(pParent);
    pSpin->setRange(0, nMax);
    pSpin->setValue(nValue);
    return pSpin;
}

} // namespace

CCustomSaveDlg::CCustomSaveDlg(platform::JpegOptions& working, const QString& strTitle,
                               QWidget* pParent)
    : QFileDialog(pParent, strTitle), m_working(working) {
    // The system's own dialog could not take the JPEG options.
    setOption(QFileDialog::DontUseNativeDialog);
    setAcceptMode(QFileDialog::AcceptSave);
    setFileMode(QFileDialog::AnyFile);
    const QStringList filters = dialogs::SaveImageFilters();
    setNameFilters(filters);
    for (const QString& strFilter : filters)
        m_patterns << QStringLiteral("*.") + dialogs::FilterExtension(strFilter).toUpper();
    BuildJpegGroup();
    connect(this, &QFileDialog::filterSelected, this, &CCustomSaveDlg::OnFilterSelected);
    selectNameFilter(filters.front());
    OnFilterSelected(filters.front());
    dialogs::FitFileDialog(*this);
    m_bInitialised = true;
}

void CCustomSaveDlg::BuildJpegGroup() {
    m_pGroup = new QGroupBox(QStringLiteral("JPEG compression options:"), this);
    m_pOptimize = new QCheckBox(QStringLiteral("Enable &optimal Huffman coding tables "), m_pGroup);
    m_pOptimize->setChecked(m_working.wOptimizeCoding != 0);
    m_pQuality = OptionSpin(m_pGroup, 100, m_working.wQuality);
    m_pSmoothing = OptionSpin(m_pGroup, 100, m_working.wSmoothingFactor);
    m_pXDpi = OptionSpin(m_pGroup, 10000, m_working.sizeDip.cx);
    m_pYDpi = OptionSpin(m_pGroup, 10000, m_working.sizeDip.cy);
    auto* pGrid = new QGridLayout(m_pGroup);
    pGrid->addWidget(m_pOptimize, 0, 0, 1, 6);
    const auto addLabel = [&](const char* pszText, int nRow, int nColumn) {
        pGrid->addWidget(new QLabel(QString::fromLatin1(pszText), m_pGroup), nRow, nColumn);
    };
    addLabel("Compression quality:", 1, 0);
    pGrid->addWidget(m_pQuality, 1, 1);
    addLabel("Smoothing factor:", 1, 3);
    pGrid->addWidget(m_pSmoothing, 1, 4);
    addLabel("X:", 2, 0);
    pGrid->addWidget(m_pXDpi, 2, 1);
    addLabel("DPI", 2, 2);
    addLabel("Y:", 2, 3);
    pGrid->addWidget(m_pYDpi, 2, 4);
    addLabel("DPI", 2, 5);
    if (auto* pDialogGrid = qobject_cast<QGridLayout*>(layout()))
        pDialogGrid->addWidget(m_pGroup, pDialogGrid->rowCount(), 0, 1, pDialogGrid->columnCount());
    connect(m_pOptimize, &QCheckBox::toggled, this, &CCustomSaveDlg::StoreOptions);
    for (QSpinBox* pSpin : {m_pQuality, m_pSmoothing, m_pXDpi, m_pYDpi})
        connect(pSpin, &QSpinBox::valueChanged, this, &CCustomSaveDlg::StoreOptions);
}

void CCustomSaveDlg::StoreOptions() {
    if (!m_bInitialised)
        return;
    // Written at once: the next save uses them even when this dialog is cancelled.
    m_working.wOptimizeCoding = m_pOptimize->isChecked() ? 1 : 0;
    m_working.wQuality = static_cast<std::uint16_t>(m_pQuality->value());
    m_working.wSmoothingFactor = static_cast<std::uint16_t>(m_pSmoothing->value());
    m_working.sizeDip.cx = m_pXDpi->value();
    m_working.sizeDip.cy = m_pYDpi->value();
}

void CCustomSaveDlg::OnFilterSelected(const QString& strFilter) {
    const auto nIndex = nameFilters().indexOf(strFilter);
    const bool bJpeg = nIndex >= 0 && m_patterns.value(nIndex) == QStringLiteral("*.JPG");
    m_pGroup->setEnabled(bJpeg);
    // A name typed without an extension gets the one of the chosen type.
    setDefaultSuffix(dialogs::FilterExtension(strFilter));
}
