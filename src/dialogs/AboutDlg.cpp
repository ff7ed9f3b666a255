// SPDX-License-Identifier: MIT
// The About box.
#include "dialogs/AboutDlg.h"

#include "dialogs/HyperLink.h"
#include "framework/CommandIds.h"
#include "framework/StringTable.h"
#include "framework/ui/CommandIcons.h"

#include <QDialogButtonBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

QLabel* IconLabel(QWidget* pParent) {
    auto* pIcon = new QLabel(pParent);
    pIcon->setPixmap(
        CCommandIcons::FromSvg(QStringLiteral(":/quorvi/icons/IDR_MAINFRAME.svg"), 32).pixmap(32));
    pIcon->setAlignment(Qt::AlignTop | Qt::AlignLeft);
    return pIcon;
}

} // namespace

CAboutDlg::CAboutDlg(const CUiServices& ui, CShellOpener& opener, const QString& strVersion,
                     QWidget* pParent)
    : CDialog(ui, pParent), m_pWebsite(new CHyperLink(opener, LoadString(IDS_HOME_PAGE_URL), this)),
      m_pSupport(new CHyperLink(opener, QString::fromLatin1(kSupportAddress), this)) {
    setWindowTitle(QStringLiteral("About"));
    auto* pGroup = new QGroupBox(QStringLiteral("Product information"), this);
    auto* pGrid = new QGridLayout(pGroup);
    pGrid->addWidget(IconLabel(pGroup), 0, 0, 3, 1);
    auto* pVersion = new QLabel(QStringLiteral("Quorvi Studio Version %1").arg(strVersion), pGroup);
    pVersion->setObjectName(QStringLiteral("version"));
    pGrid->addWidget(pVersion, 0, 1, 1, 2);
    pGrid->addWidget(new QLabel(QStringLiteral("Website:"), pGroup), 1, 1);
    pGrid->addWidget(m_pWebsite, 1, 2, Qt::AlignLeft);
    pGrid->addWidget(new QLabel(QStringLiteral("Support:"), pGroup), 2, 1);
    pGrid->addWidget(m_pSupport, 2, 2, Qt::AlignLeft);
    pGrid->setColumnStretch(2, 1);
    pGrid->setHorizontalSpacing(12);

    auto* pButtons = new QDialogButtonBox(this);
    m_pOk = pButtons->addButton(QStringLiteral("&OK"), QDialogButtonBox::AcceptRole);
    m_pOk->setDefault(true);
    connect(pButtons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    auto* pLayout = new QVBoxLayout(this);
    pLayout->addWidget(pGroup);
    pLayout->addWidget(pButtons);
    pLayout->setSizeConstraint(QLayout::SetFixedSize);
}

void CAboutDlg::OnInitDialog() {
    // The mail link opens on the press (and not again on the release).
    m_pSupport->AssignUrl(QStringLiteral("mailto:%1").arg(QString::fromLatin1(kSupportAddress)));
    m_pSupport->ChangeStyle(0, CHyperLink::LinkOpenOnDown);
    CDialog::OnInitDialog();
    // The box opens on its OK button, not on a link in the focus colour.
    m_pOk->setFocus(Qt::OtherFocusReason);
}
