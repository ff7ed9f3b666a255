// SPDX-License-Identifier: MIT
// The file tab bar.
#include "views/ViewManager.h"

#include "framework/Document.h"
#include "framework/FrameWnd.h"
#include "framework/View.h"
#include "views/ViewTabCtrl.h"

#include <QEvent>
#include <QMainWindow>
#include <QWidget>

namespace {

QWidget* FrameWidgetOf(const CView* pView) {
    return pView != nullptr ? dynamic_cast<QWidget*>(pView->GetParentFrame()) : nullptr;
}

} // namespace

CViewManager::CViewManager(QMainWindow* pParent)
    : QToolBar(QStringLiteral("Open File Tabs Bar"), pParent), m_pTabCtrl(new CViewTabCtrl(this)) {
    setObjectName(QStringLiteral("ViewManager"));
    setAllowedAreas(Qt::TopToolBarArea | Qt::BottomToolBarArea);
    setFloatable(false);
    // A right press opens the tab's own menu; the context-menu request that comes with it must
    // not go on to the main window, whose menu lists the bars.
    setContextMenuPolicy(Qt::PreventContextMenu);
    m_pTabCtrl->setContextMenuPolicy(Qt::PreventContextMenu);
    // The tabs take the bar's whole length, so that a click beside them is a click on no tab.
    m_pTabCtrl->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    addWidget(m_pTabCtrl);
    m_pTabCtrl->SetModifiedQuery([this](int nIndex) {
        const CView* pView = ViewAt(nIndex);
        return pView != nullptr && pView->GetDocument() != nullptr &&
               pView->GetDocument()->IsModified();
    });
    m_pTabCtrl->SetToolTipQuery([this](int nIndex) {
        const CView* pView = ViewAt(nIndex);
        return ToolTipFor(pView != nullptr ? pView->GetDocument() : nullptr);
    });
    connect(m_pTabCtrl, &QTabBar::currentChanged, this, &CViewManager::OnCurrentChanged);
    connect(m_pTabCtrl, &CViewTabCtrl::tabContextMenu, this, [this](int nIndex, const QPoint& pos) {
        if (CView* pView = ViewAt(nIndex))
            emit viewContextMenu(pView, pos);
    });
}

void CViewManager::Create(QMainWindow* pFrame) {
    // A row of its own, below the toolbar, the whole width of the window.
    pFrame->addToolBarBreak(Qt::TopToolBarArea);
    pFrame->addToolBar(Qt::TopToolBarArea, this);
}

QString CViewManager::ToolTipFor(const CDocument* pDoc) {
    const QString strPath = pDoc != nullptr ? pDoc->GetPathName() : QString();
    return strPath.isEmpty() ? QStringLiteral("A new unsaved file") : strPath;
}

CView* CViewManager::ViewAt(int nIndex) const {
    return nIndex >= 0 && nIndex < m_arrViews.size() ? m_arrViews[nIndex] : nullptr;
}

int CViewManager::TabOf(const CView* pView) const {
    for (int i = 0; i < m_pTabCtrl->count(); ++i) {
        if (m_pTabCtrl->tabData(i).value<quintptr>() == reinterpret_cast<quintptr>(pView))
            return i;
    }
    return -1;
}

void CViewManager::AddView(const QString& strTitle, CView* pView) {
    if (m_bDisabled || pView == nullptr)
        return;
    m_arrViews.push_back(pView);
    m_arrTitles.push_back(strTitle);
    m_bSelecting = true;
    const int nTab = m_pTabCtrl->addTab(strTitle);
    m_pTabCtrl->setTabData(nTab, QVariant::fromValue(reinterpret_cast<quintptr>(pView)));
    if (QWidget* pFrame = FrameWidgetOf(pView); pFrame != nullptr && m_pTabCtrl->m_bShowIcons)
        m_pTabCtrl->setTabIcon(nTab, pFrame->windowIcon());
    m_bSelecting = false;
    m_pTabCtrl->UpdateColors();
}

void CViewManager::RemoveView(CView* pView) {
    const auto nEntry = m_arrViews.indexOf(pView);
    if (m_bDisabled || nEntry < 0)
        return;
    m_bSelecting = true;
    if (const int nTab = TabOf(pView); nTab >= 0)
        m_pTabCtrl->removeTab(nTab);
    m_bSelecting = false;
    m_arrViews.removeAt(nEntry);
    m_arrTitles.removeAt(nEntry);
}

void CViewManager::SetViewTitle(const QString& strTitle, CView* pView) {
    const auto nEntry = m_arrViews.indexOf(pView);
    if (m_bDisabled || nEntry < 0)
        return;
    m_arrTitles[nEntry] = strTitle;
    if (const int nTab = TabOf(pView); nTab >= 0)
        m_pTabCtrl->setTabText(nTab, strTitle);
}

void CViewManager::UpdateBar(CView* pActiveView) {
    m_pTabCtrl->setVisible(pActiveView != nullptr);
    if (pActiveView == nullptr)
        return;
    for (int i = 0; i < m_arrViews.size(); ++i) {
        const QWidget* pFrame = FrameWidgetOf(m_arrViews[i]);
        if (pFrame != nullptr && pFrame->windowTitle() != m_arrTitles[i])
            SetViewTitle(pFrame->windowTitle(), m_arrViews[i]);
    }
    m_bSelecting = true;
    m_pTabCtrl->setCurrentIndex(TabOf(pActiveView));
    m_bSelecting = false;
    m_pTabCtrl->UpdateColors();
}

void CViewManager::OnCurrentChanged(int nIndex) {
    if (m_bSelecting)
        return;
    if (CView* pView = ViewAt(nIndex))
        emit viewSelected(pView);
}

bool CViewManager::event(QEvent* pEvent) {
    const bool bResult = QToolBar::event(pEvent);
    if (pEvent->type() == QEvent::Move || pEvent->type() == QEvent::ParentChange ||
        pEvent->type() == QEvent::Show)
        FollowDockArea();
    return bResult;
}

void CViewManager::FollowDockArea() {
    // At the bottom the tabs hang from the bar's top edge; at the top (or floating) they stand on
    // its bottom edge.
    auto* pFrame = qobject_cast<QMainWindow*>(parentWidget());
    const bool bBottom = pFrame != nullptr && pFrame->toolBarArea(this) == Qt::BottomToolBarArea;
    const QTabBar::Shape shape = bBottom ? QTabBar::RoundedSouth : QTabBar::RoundedNorth;
    if (m_pTabCtrl->shape() != shape)
        m_pTabCtrl->setShape(shape);
}
