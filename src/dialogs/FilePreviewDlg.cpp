// SPDX-License-Identifier: MIT
// The open dialog with the image preview.
#include "dialogs/FilePreviewDlg.h"

#include "dialogs/DialogGeometry.h"
#include "dialogs/ImageFileFilters.h"
#include "dialogs/ImagePreview.h"
#include "framework/CommandIds.h"
#include "framework/StringTable.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QVBoxLayout>

namespace {

constexpr int kPreviewWidth = 240;

} // namespace

CFilePreviewDlg::CFilePreviewDlg(const CUiServices& ui, CPictureDecoder& decoder,
                                 const QString& strTitle, QWidget* pParent)
    : QFileDialog(pParent, strTitle), m_ui(ui), m_decoder(decoder) {
    // The system's own dialog could not take the preview.
    setOption(QFileDialog::DontUseNativeDialog);
    setOption(QFileDialog::HideNameFilterDetails);
    setAcceptMode(QFileDialog::AcceptOpen);
    setFileMode(QFileDialog::ExistingFile);
    // "Qorv00001.JPG" is a JPEG file as much as "qorv00001.jpg".
    setFilter(filter() & ~QDir::CaseSensitive);
    const QStringList filters = dialogs::OpenImageFilters();
    setNameFilters(filters);
    selectNameFilter(filters.at(dialogs::OpenImageFilterDefault()));

    auto* pGroup = new QGroupBox(QStringLiteral("Options"), this);
    m_pPreviewCheck = new QCheckBox(QStringLiteral("Preview"), pGroup);
    m_pPreviewCheck->setChecked(true);
    m_pDepth = new QLabel(pGroup);
    m_pSize = new QLabel(pGroup);
    m_pPreview = new CImagePreview(pGroup);
    auto* pGroupLayout = new QVBoxLayout(pGroup);
    pGroupLayout->addWidget(m_pPreviewCheck);
    pGroupLayout->addWidget(m_pDepth);
    pGroupLayout->addWidget(m_pSize);
    pGroupLayout->addWidget(m_pPreview, 1);
    // Beside the file list, as wide as a preview needs.
    pGroup->setFixedWidth(kPreviewWidth);
    if (auto* pGrid = qobject_cast<QGridLayout*>(layout()))
        pGrid->addWidget(pGroup, 0, pGrid->columnCount(), pGrid->rowCount(), 1);
    dialogs::FitFileDialog(*this);
    ShowBlankInfo();
    connect(this, &QFileDialog::currentChanged, this, &CFilePreviewDlg::OnCurrentChanged);
    connect(m_pPreviewCheck, &QCheckBox::toggled, this, &CFilePreviewDlg::OnPreviewToggled);
}

void CFilePreviewDlg::ShowBlankInfo() {
    const QString strBlank(QLatin1Char(' '));
    m_pDepth->setText(FormatString1(IDS_COLOR_BITS, strBlank));
    m_pSize->setText(FormatString1(IDS_IMAGE_SIZE, strBlank));
}

void CFilePreviewDlg::OnCurrentChanged(const QString& strPath) {
    m_strCurrent = strPath;
    if (!m_pPreviewCheck->isChecked())
        return;
    const std::optional<PreviewFileInfo> info = m_pPreview->LoadFile(strPath, m_decoder, m_ui);
    if (!info) {
        ShowBlankInfo();
        return;
    }
    m_pDepth->setText(FormatString1(IDS_COLOR_BITS, QString::number(info->nDepth)));
    m_pSize->setText(FormatString1(IDS_IMAGE_SIZE,
                                   QStringLiteral("(%1,%2)").arg(info->nWidth).arg(info->nHeight)));
}

void CFilePreviewDlg::OnPreviewToggled(bool bOn) {
    if (bOn) {
        OnCurrentChanged(m_strCurrent);
        return;
    }
    m_pPreview->Clear();
    ShowBlankInfo();
}
