// SPDX-License-Identifier: MIT
// The print layout dialog.
#include "dialogs/PrintLayoutDlg.h"

#include "dialogs/LayoutPage.h"
#include "dialogs/LayoutPreview.h"
#include "image/ImageBitmap.h"

#include <QDialogButtonBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QPushButton>
#include <QTabWidget>
#include <QVBoxLayout>

namespace {

// The record as the dialog starts from it: the selected paper, and a print size that is the
// page's width at the image's proportion when none was ever set.
PrintLayoutSettings Opening(PrintLayoutSettings record, QSize pageSize,
                            const CImageBitmap* pImage) {
    record.nPageWidth = pageSize.width();
    record.nPageHeight = pageSize.height();
    if (record.nPrintWidth == 0 && record.nPrintHeight == 0) {
        record.nPrintWidth = record.nPageWidth;
        record.nPrintHeight = record.nPageHeight;
        if (pImage != nullptr && pImage->Width() > 0)
            record.nPrintHeight = static_cast<std::int32_t>(std::int64_t(record.nPrintWidth) *
                                                            pImage->Height() / pImage->Width());
    }
    return record;
}

} // namespace

CPrintLayoutDlg::CPrintLayoutDlg(const CUiServices& ui, const PrintLayoutSettings& record,
                                 std::optional<QSize> pageSize, const CImageBitmap* pImage,
                                 QWidget* pParent)
    : CDialog(ui, pParent),
      m_record(Opening(record, pageSize.value_or(QSize(kA4Width, kA4Height)), pImage)),
      m_pPreview(new CLayoutPreview(m_record, pImage, this)),
      m_pPage(new CLayoutPage(m_record, pImage != nullptr ? pImage->Width() : 0,
                              pImage != nullptr ? pImage->Height() : 0, this)),
      m_pTabs(new QTabWidget(this)) {
    setWindowTitle(QStringLiteral("Print Layout"));
    auto* pPreviewGroup = new QGroupBox(QStringLiteral("Preview"), this);
    auto* pPreviewLayout = new QVBoxLayout(pPreviewGroup);
    pPreviewLayout->addWidget(m_pPreview);
    m_pTabs->addTab(m_pPage, QStringLiteral("Layout"));

    auto* pButtons = new QDialogButtonBox(Qt::Horizontal, this);
    QPushButton* pHelp = pButtons->addButton(QStringLiteral("&Help"), QDialogButtonBox::HelpRole);
    QPushButton* pOk = pButtons->addButton(QStringLiteral("&OK"), QDialogButtonBox::AcceptRole);
    pButtons->addButton(QStringLiteral("&Cancel"), QDialogButtonBox::RejectRole);
    pOk->setDefault(true);
    connect(pButtons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(pButtons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(pHelp, &QPushButton::clicked, this, &CPrintLayoutDlg::helpRequested);
    connect(m_pPage, &CLayoutPage::recordChanged, m_pPreview, &CLayoutPreview::Refresh);

    auto* pBody = new QHBoxLayout;
    pBody->addWidget(pPreviewGroup, 1);
    pBody->addWidget(m_pTabs);
    auto* pLayout = new QVBoxLayout(this);
    pLayout->addLayout(pBody, 1);
    pLayout->addWidget(pButtons);
}

void CPrintLayoutDlg::OnInitDialog() {
    m_pPage->Initialize();
    m_pTabs->setCurrentIndex(0);
}

void CPrintLayoutDlg::DoDataExchange(CDataExchange& dx) {
    m_pPage->Exchange(dx);
}
