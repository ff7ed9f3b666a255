// SPDX-License-Identifier: MIT
// The options dialog's frame.
#include "dialogs/options/OptionsTreeDlg.h"

#include "dialogs/options/OptionsCaption.h"
#include "dialogs/options/OptionsSubDlg.h"

#include <QFrame>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QPushButton>
#include <QScreen>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace {

constexpr int kPageWidth = 520;  // px, room for the widest page
constexpr int kPageHeight = 420; // px
constexpr int kPageMargin = 2;   // px between the page frame and the page
constexpr int kTitleHeight = 14; // px
constexpr int kTitleWeight = 700;

QPushButton* FrameButton(const QString& strText, QWidget* pParent) {
    auto* pButton = new QPushButton(strText, pParent);
    pButton->setMinimumWidth(90);
    return pButton;
}

} // namespace

COptionsTreeDlg::COptionsTreeDlg(const CUiServices& ui, QWidget* pParent)
    : CDialog(ui, pParent), m_pTree(new QTreeWidget(this)), m_pCaption(new COptionsCaption(this)),
      m_pPageArea(new QFrame(this)), m_pPageLayout(new QVBoxLayout(m_pPageArea)),
      m_pHelp(FrameButton(QStringLiteral("Help"), this)) {
    setWindowTitle(QStringLiteral("Prefs"));
    setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                   Qt::WindowCloseButtonHint);
    m_pTree->setHeaderHidden(true);
    m_pTree->setRootIsDecorated(true);
    m_pTree->setDragDropMode(QAbstractItemView::NoDragDrop);
    m_pPageArea->setObjectName(QStringLiteral("PageArea"));
    m_pPageArea->setMinimumSize(kPageWidth, kPageHeight);
    m_pPageLayout->setContentsMargins(kPageMargin, kPageMargin, kPageMargin, kPageMargin);

    auto* pOK = FrameButton(QStringLiteral("OK"), this);
    auto* pCancel = FrameButton(QStringLiteral("Cancel"), this);
    pOK->setDefault(true);
    auto* pButtonFrame = new QFrame(this);
    pButtonFrame->setFrameStyle(QFrame::Box | QFrame::Sunken);
    auto* pButtons = new QVBoxLayout(pButtonFrame);
    for (QPushButton* pButton : {pOK, pCancel, m_pHelp})
        pButtons->addWidget(pButton, 0, Qt::AlignHCenter);

    auto* pLeft = new QVBoxLayout;
    pLeft->addWidget(m_pTree, 1);
    pLeft->addWidget(pButtonFrame);
    auto* pRight = new QVBoxLayout;
    pRight->setSpacing(2);
    pRight->addWidget(m_pCaption);
    pRight->addWidget(m_pPageArea, 1);
    auto* pMain = new QHBoxLayout(this);
    pMain->addLayout(pLeft);
    pMain->addLayout(pRight, 1);

    connect(pOK, &QPushButton::clicked, this, &COptionsTreeDlg::accept);
    connect(pCancel, &QPushButton::clicked, this, &COptionsTreeDlg::reject);
    connect(m_pHelp, &QPushButton::clicked, this, &COptionsTreeDlg::helpRequested);
    connect(m_pTree, &QTreeWidget::currentItemChanged, this,
            &COptionsTreeDlg::OnTreeSelectionChanged);
}

COptionsTreeDlg::~COptionsTreeDlg() {
    for (const PageEntry& entry : m_entries) {
        if (entry.pPage != nullptr && entry.pPage->parent() != nullptr) {
            entry.pPage->hide();
            entry.pPage->setParent(nullptr);
        }
    }
}

bool COptionsTreeDlg::AppendPage(COptionsSubDlg* pPage, const QString& strCaption,
                                 COptionsSubDlg* pParentPage) {
    if (m_bCreated)
        return false;
    m_entries.push_back(
        PageEntry{pPage, pPage != nullptr ? pPage->TemplateID() : 0, pParentPage, strCaption});
    return true;
}

void COptionsTreeDlg::SetDialogTitle(const QString& strTitle) {
    setWindowTitle(strTitle);
}

void COptionsTreeDlg::SetBannerText(const QString& strBanner) {
    m_pCaption->SetBannerText(strBanner);
}

COptionsSubDlg* COptionsTreeDlg::Page(int nIndex) const {
    if (nIndex < 0 || nIndex >= PageCount())
        return nullptr;
    return m_entries[static_cast<std::size_t>(nIndex)].pPage;
}

int COptionsTreeDlg::IndexOf(const COptionsSubDlg* pPage) const {
    for (int i = 0; i < PageCount(); ++i) {
        if (m_entries[static_cast<std::size_t>(i)].pPage == pPage)
            return i;
    }
    return -1;
}

void COptionsTreeDlg::OnInitDialog() {
    m_bCreated = true;
    m_pCaption->SetTextColor(palette().color(QPalette::Button));
    m_pCaption->SetTitleFont(QStringLiteral("Verdana"), kTitleHeight, kTitleWeight);
    BuildTree();
    FitTreeToCaptions();
    const int nStart = m_pInitialPage != nullptr ? IndexOf(m_pInitialPage) : 0;
    if (ActivatePage(nStart))
        m_nCurrent = nStart;
    CDialog::OnInitDialog();
    OpenAtFullSize();
}

void COptionsTreeDlg::FitTreeToCaptions() {
    // Measured in the tree's own font: a width in pixels cuts the longest caption wherever the
    // desktop's fonts grow faster than its pixels. A character's width of air at the right.
    const QAbstractItemView& view = *m_pTree;
    m_pTree->setFixedWidth(view.sizeHintForColumn(0) + 2 * m_pTree->frameWidth() +
                           m_pTree->fontMetrics().averageCharWidth());
}

void COptionsTreeDlg::OpenAtFullSize() {
    // Qt sized the window before the first page and the tree's width existed, and to no more
    // than two thirds of the screen, which on a scaled screen is less than the page needs: the
    // window was squeezed to its layout's minimum then. The layouts learn of both first, from
    // the page outwards, as their queued requests would tell them only later.
    for (QWidget* pWidget :
         {static_cast<QWidget*>(Page(m_nCurrent)), m_pPageArea, static_cast<QWidget*>(this)}) {
        if (pWidget != nullptr && pWidget->layout() != nullptr)
            pWidget->layout()->activate();
    }
    QSize full = sizeHint();
    if (const QScreen* pScreen = screen())
        full = full.boundedTo(pScreen->availableSize());
    resize(full);
}

void COptionsTreeDlg::BuildTree() {
    for (int i = 0; i < PageCount(); ++i) {
        PageEntry& entry = m_entries[static_cast<std::size_t>(i)];
        const int nParent = entry.pParentPage != nullptr ? IndexOf(entry.pParentPage) : -1;
        QTreeWidgetItem* pParentItem =
            nParent >= 0 ? m_entries[static_cast<std::size_t>(nParent)].pItem : nullptr;
        auto* pItem = pParentItem != nullptr ? new QTreeWidgetItem(pParentItem)
                                             : new QTreeWidgetItem(m_pTree);
        pItem->setText(0, entry.strCaption);
        pItem->setData(0, Qt::UserRole, i);
        entry.pItem = pItem;
    }
    m_pTree->expandAll();
}

bool COptionsTreeDlg::ActivatePage(int nIndex) {
    m_pCaption->SetTitle(QString());
    if (COptionsSubDlg* pShown = Page(m_nCurrent); pShown != nullptr && pShown->IsCreated())
        pShown->hide();
    COptionsSubDlg* pPage = Page(nIndex);
    if (pPage == nullptr)
        return false;
    const PageEntry& entry = m_entries[static_cast<std::size_t>(nIndex)];
    m_pCaption->SetTitle(entry.strCaption);
    if (!pPage->IsCreated()) {
        pPage->Create(m_pPageArea);
        m_pPageLayout->addWidget(pPage);
        GrowToFit(*pPage);
    }
    pPage->show();
    pPage->FocusFirstControl();
    if (entry.pItem != nullptr) {
        // Selecting the item here must not post another activation.
        const QSignalBlocker block(m_pTree);
        m_pTree->setCurrentItem(entry.pItem);
    }
    return true;
}

void COptionsTreeDlg::GrowToFit(const COptionsSubDlg& page) {
    // Pages are made one by one: a page wider or taller than the area so far widens the dialog
    // rather than being cut.
    const QSize missing =
        page.sizeHint() + QSize(2 * kPageMargin, 2 * kPageMargin) - m_pPageArea->size();
    if (missing.width() <= 0 && missing.height() <= 0)
        return;
    m_pPageArea->setMinimumSize(m_pPageArea->minimumSize().expandedTo(
        m_pPageArea->size() + missing.expandedTo(QSize(0, 0))));
    if (isVisible())
        resize(size().expandedTo(sizeHint()));
}

void COptionsTreeDlg::OnTreeSelectionChanged(QTreeWidgetItem* pItem) {
    if (pItem == nullptr)
        return;
    const int nIndex = pItem->data(0, Qt::UserRole).toInt();
    if (nIndex < 0 || nIndex >= PageCount() || nIndex == m_nCurrent)
        return;
    // Activated after the tree has finished its own notification.
    QMetaObject::invokeMethod(
        this, [this, nIndex] { OnActivatePosted(nIndex); }, Qt::QueuedConnection);
}

void COptionsTreeDlg::OnActivatePosted(int nIndex) {
    if (ActivatePage(nIndex))
        m_nCurrent = nIndex;
}

void COptionsTreeDlg::ShowFailedPage(int nIndex) {
    if (nIndex != m_nCurrent && ActivatePage(nIndex))
        m_nCurrent = nIndex;
    Page(nIndex)->FocusFailedControl();
}

void COptionsTreeDlg::accept() {
    for (int i = 0; i < PageCount(); ++i) {
        COptionsSubDlg* pPage = Page(i);
        if (pPage != nullptr && pPage->IsCreated() && !pPage->Validate()) {
            ShowFailedPage(i);
            return;
        }
    }
    for (const PageEntry& entry : m_entries) {
        if (entry.pPage != nullptr && entry.pPage->IsCreated())
            entry.pPage->OnOK();
    }
    // The frame has no fields of its own: this closes the dialog.
    CDialog::accept();
}

void COptionsTreeDlg::reject() {
    for (const PageEntry& entry : m_entries) {
        if (entry.pPage != nullptr && entry.pPage->IsCreated())
            entry.pPage->OnCancel();
    }
    QDialog::reject();
}

void COptionsTreeDlg::keyPressEvent(QKeyEvent* pEvent) {
    // Escape never closes the options: a half-edited set of pages is only left through Cancel.
    if (pEvent->key() == Qt::Key_Escape) {
        pEvent->accept();
        return;
    }
    CDialog::keyPressEvent(pEvent);
}
