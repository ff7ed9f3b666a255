// SPDX-License-Identifier: MIT
// Base of the size dialogs.
#include "dialogs/LiveApplyDlg.h"

#include "document/TavixCaptureDoc.h"
#include "framework/GuardCommand.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace {

QPushButton* AddButton(QVBoxLayout* pColumn, QWidget* pParent, const char* pszText) {
    auto* pButton = new QPushButton(QString::fromLatin1(pszText), pParent);
    pButton->setAutoDefault(false);
    pColumn->addWidget(pButton);
    return pButton;
}

} // namespace

CLiveApplyDlg::CLiveApplyDlg(const CUiServices& ui, CTavixCaptureDoc& doc, ESizeDialog kind,
                             const Layout& layout, QWidget* pParent)
    : CExpandingDlg(ui, pParent, QStringLiteral("A&dvanced >>"), QStringLiteral("A&dvanced <<")),
      m_doc(doc), m_kind(kind), m_layout(layout), m_pRows(new QGridLayout) {
    setWindowTitle(QString::fromLatin1(layout.pszTitle));
    auto* pGroup = new QGroupBox(QString::fromLatin1(layout.pszMethodGroup), Advanced());
    auto* pGroupLayout = new QVBoxLayout(pGroup);
    for (std::size_t i = 0; i < m_methods.size(); ++i) {
        m_methods[i] = new QRadioButton(QString::fromLatin1(layout.methods[i].pszText), pGroup);
        pGroupLayout->addWidget(m_methods[i]);
        connect(m_methods[i], &QRadioButton::clicked, this, [this, i] { OnMethodClicked(int(i)); });
    }
    auto* pRadiusGrid = new QGridLayout;
    m_pRadius = new CValueRow(layout.radius, Advanced(), pRadiusGrid, 0);
    auto* pAdvancedLayout = new QVBoxLayout(Advanced());
    pAdvancedLayout->setContentsMargins(0, 0, 0, 0);
    pAdvancedLayout->addWidget(pGroup);
    pAdvancedLayout->addLayout(pRadiusGrid);

    auto* pButtons = new QVBoxLayout;
    m_pApply = AddButton(pButtons, this, "&Apply");
    m_pRevert = AddButton(pButtons, this, "&Revert");
    m_pDone = AddButton(pButtons, this, "&Done");
    QPushButton* pHelp = AddButton(pButtons, this, "&Help");
    pButtons->addWidget(ToggleButton());
    pButtons->addStretch(1);
    auto* pLeft = new QVBoxLayout;
    pLeft->addLayout(m_pRows);
    pLeft->addWidget(Advanced());
    pLeft->addStretch(1);
    auto* pMain = new QHBoxLayout(this);
    pMain->addLayout(pLeft, 1);
    pMain->addLayout(pButtons);

    m_methods[0]->setChecked(true);
    m_pApply->setEnabled(false);
    m_pRevert->setEnabled(false);
    m_pDone->setDefault(true);
    connect(m_pRadius, &CValueRow::valueChanged, this, &CLiveApplyDlg::OnRadiusChanged);
    connect(m_pApply, &QPushButton::clicked, this, &CLiveApplyDlg::OnApply);
    connect(m_pRevert, &QPushButton::clicked, this, &CLiveApplyDlg::OnRevert);
    connect(m_pDone, &QPushButton::clicked, this, &CLiveApplyDlg::OnDone);
    connect(pHelp, &QPushButton::clicked, this, &CLiveApplyDlg::helpRequested);
    SetExpanded(false);
}

CValueRow* CLiveApplyDlg::AddSizeRow(const ValueRowSpec& spec) {
    auto* pRow = new CValueRow(spec, this, m_pRows, m_pRows->rowCount());
    connect(pRow, &CValueRow::valueChanged, this, &CLiveApplyDlg::OnSizeChanged);
    return pRow;
}

QCheckBox* CLiveApplyDlg::AddKeepAspectCheck(bool bChecked) {
    m_pKeepAspect = new QCheckBox(QStringLiteral("&Keep aspect ratio"), this);
    m_pKeepAspect->setChecked(bChecked);
    m_pRows->addWidget(m_pKeepAspect, m_pRows->rowCount(), 1, 1, 2);
    return m_pKeepAspect;
}

QSize CLiveApplyDlg::BaseSize() const {
    const CImageBitmap* pBase = m_doc.GetOriginal();
    if (pBase == nullptr)
        pBase = m_doc.GetImage();
    return pBase != nullptr ? QSize(pBase->Width(), pBase->Height()) : QSize();
}

void CLiveApplyDlg::OnSizeChanged() {
    m_pApply->setEnabled(true);
    EnableMethods(true);
}

void CLiveApplyDlg::OnRadiusChanged() {
    // The bilinear method has no radius: changing it alone changes nothing to apply.
    if (CheckedKernel() != img::ResampleKernel::Bilinear)
        m_pApply->setEnabled(true);
}

void CLiveApplyDlg::OnMethodClicked(int nIndex) {
    if (nIndex == m_nMethod)
        return;
    m_nMethod = nIndex;
    m_pApply->setEnabled(true);
}

void CLiveApplyDlg::EnableMethods(bool bEnable) {
    for (QRadioButton* pButton : m_methods)
        pButton->setEnabled(bEnable);
    m_pRadius->SetEnabled(bEnable);
}

img::ResampleKernel CLiveApplyDlg::CheckedKernel() const {
    for (std::size_t i = 0; i < m_methods.size(); ++i) {
        if (m_methods[i]->isChecked())
            return m_layout.methods[i].kernel;
    }
    return img::ResampleKernel::Bilinear;
}

void CLiveApplyDlg::OnApply() {
    const QSize target = TargetSize();
    if (m_doc.GetOriginal() == nullptr || target.width() < 1 || target.height() < 1)
        return;
    GuardCommand(Ui(), [&] {
        // Every Apply starts from the image as it was when the dialog opened: resampling an
        // already resampled image would lose detail, and the replaced change would otherwise
        // stay behind as an undo step of its own.
        if (m_doc.IsPendingInEffect()) {
            m_doc.RevertPending();
            m_pRevert->setEnabled(false);
        }
        if (!m_doc.ApplySizeChange(m_kind, target.width(), target.height(), CheckedKernel(),
                                   m_pRadius->Value() * 0.01))
            return;
        m_pApply->setEnabled(false);
        // A change run without an undo copy (memory was short) has nothing to revert.
        m_pRevert->setEnabled(m_doc.IsPendingInEffect());
        EnableMethods(false);
    });
}

void CLiveApplyDlg::OnRevert() {
    GuardCommand(Ui(), [&] {
        m_doc.RevertPending();
        ShowRevertedSize();
    });
    m_pApply->setEnabled(false);
    m_pRevert->setEnabled(false);
}

void CLiveApplyDlg::OnDone() {
    GuardCommand(Ui(), [&] { m_doc.CommitPending(m_pRevert->isEnabled()); });
    done(QDialog::Accepted);
}

void CLiveApplyDlg::reject() {
    if (m_pRevert->isEnabled())
        GuardCommand(Ui(), [&] { m_doc.RevertPending(); });
    QDialog::reject();
}
