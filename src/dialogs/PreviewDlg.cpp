// SPDX-License-Identifier: MIT
// Base of the operation dialogs with a preview.
#include "dialogs/PreviewDlg.h"

#include "dialogs/ImagePreview.h"
#include "framework/GuardCommand.h"
#include "image/ImageBitmap.h"
#include "image/ImageFilter.h"

#include <QDialogButtonBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QPushButton>
#include <QVBoxLayout>

#include <algorithm>

CPreviewDlg::CPreviewDlg(const CUiServices& ui, const CImageBitmap* pImage, QWidget* pParent)
    : CDialog(ui, pParent), m_pImage(pImage), m_pRows(new QGridLayout), m_pTop(new QVBoxLayout),
      m_pPreview(new CImagePreview(this)), m_pButtons(new QDialogButtonBox(Qt::Vertical, this)) {
    m_pButtons->addButton(QDialogButtonBox::Ok);
    m_pButtons->addButton(QDialogButtonBox::Cancel);
    QPushButton* pHelp = m_pButtons->addButton(QStringLiteral("&Help"), QDialogButtonBox::HelpRole);
    connect(m_pButtons, &QDialogButtonBox::accepted, this, &CPreviewDlg::accept);
    connect(m_pButtons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(pHelp, &QPushButton::clicked, this, &CPreviewDlg::helpRequested);
    m_pPreview->setMinimumSize(280, 200);
    m_pTop->addLayout(m_pRows);
    auto* pLeft = new QVBoxLayout;
    pLeft->addLayout(m_pTop);
    pLeft->addWidget(m_pPreview, 1);
    auto* pLayout = new QHBoxLayout(this);
    pLayout->addLayout(pLeft, 1);
    pLayout->addWidget(m_pButtons);
}

CValueRow* CPreviewDlg::AddRow(const ValueRowSpec& spec) {
    auto* pRow = new CValueRow(spec, this, m_pRows, m_pRows->rowCount());
    m_rows.push_back({pRow, pRow->Value()});
    connect(pRow, &CValueRow::valueChanged, this, &CPreviewDlg::UpdatePreview);
    return pRow;
}

bool CPreviewDlg::IsChanged() const {
    return std::any_of(m_rows.begin(), m_rows.end(),
                       [](const RowStart& row) { return row.pRow->Value() != row.nInitial; });
}

void CPreviewDlg::OnInitDialog() {
    CDialog::OnInitDialog();
    // The rows hold their initial positions by now: the preview starts as the image itself.
    if (m_pImage != nullptr)
        GuardCommand(Ui(), [this] { m_pPreview->SetImage(*m_pImage); });
    m_bAttached = true;
}

void CPreviewDlg::UpdatePreview() {
    if (!m_bAttached || m_pImage == nullptr)
        return;
    GuardCommand(Ui(), [this] {
        std::unique_ptr<CImageFilter> pFilter = MakeFilter();
        m_pPreview->ShowFiltered(*pFilter);
    });
}

void CPreviewDlg::accept() {
    if (IsChanged())
        CDialog::accept();
    else
        reject();
}
