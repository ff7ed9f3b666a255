// SPDX-License-Identifier: MIT
// The main frame base.
#include "framework/ui/MDIFrameWnd.h"

#include "framework/CommandIds.h"
#include "framework/DocTemplate.h"
#include "framework/Document.h"
#include "framework/GuardCommand.h"
#include "framework/StringTable.h"
#include "framework/UiServices.h"
#include "framework/View.h"
#include "framework/WinApp.h"
#include "framework/ui/CommandDispatcher.h"
#include "framework/ui/MDIChildWnd.h"
#include "framework/ui/MdiLayout.h"
#include "framework/ui/MenuBuilder.h"
#include "framework/ui/WindowButtonStyle.h"

#include <QApplication>
#include <QCloseEvent>
#include <QMdiArea>
#include <QMenuBar>
#include <QStatusBar>
#include <QStyle>
#include <QToolBar>

#include <algorithm>

const CCommandMap& CMDIFrameWnd::ThisCommandMap() {
    static const CCommandMap s_map =
        TCommandMapBuilder<CMDIFrameWnd>(&CCmdTarget::ThisCommandMap())
            .On(ID_WINDOW_CASCADE, &CMDIFrameWnd::OnWindowCascade)
            .On(ID_WINDOW_TILE_HORZ, &CMDIFrameWnd::OnWindowTileHorz)
            .On(ID_WINDOW_TILE_VERT, &CMDIFrameWnd::OnWindowTileVert)
            .On(ID_WINDOW_ARRANGE, &CMDIFrameWnd::OnWindowArrange)
            .On(ID_WINDOW_NEW, &CMDIFrameWnd::OnWindowNew)
            .OnUpdateRange(ID_WINDOW_NEW, ID_WINDOW_TILE_VERT, &CMDIFrameWnd::OnUpdateMDIWindowCmd)
            .On(ID_VIEW_TOOLBAR, &CMDIFrameWnd::OnViewToolBar)
            .OnUpdate(ID_VIEW_TOOLBAR, &CMDIFrameWnd::OnUpdateViewToolBar)
            .On(ID_VIEW_STATUS_BAR, &CMDIFrameWnd::OnViewStatusBar)
            .OnUpdate(ID_VIEW_STATUS_BAR, &CMDIFrameWnd::OnUpdateViewStatusBar)
            .Build();
    return s_map;
}

CMDIFrameWnd::CMDIFrameWnd(CUiServices& ui, QWidget* pParent)
    : QMainWindow(pParent), m_ui(ui), m_pMdiArea(new QMdiArea(this)),
      m_pDispatcher(new CCommandDispatcher(this, ui, this)),
      m_pMenuBuilder(std::make_unique<CMenuBuilder>(*m_pDispatcher)) {
    // The image windows' buttons (in the menu bar while maximised) are drawn by the application's
    // style, not by a window's own: the style that keeps their images has to be that one.
    if (qobject_cast<CWindowButtonStyle*>(QApplication::style()) == nullptr)
        QApplication::setStyle(new CWindowButtonStyle());
    m_pMdiArea->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    m_pMdiArea->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    setCentralWidget(m_pMdiArea);
    connect(m_pMdiArea, &QMdiArea::subWindowActivated, this, &CMDIFrameWnd::OnSubWindowActivated);
    connect(m_pDispatcher, &CCommandDispatcher::initMenuPopup, this,
            [this](QMenu* pMenu) { GuardCommand(m_ui, [&] { OnInitMenuPopup(pMenu); }); });
    setWindowTitle(LoadString(IDS_APP_TITLE));
}

CMDIFrameWnd::~CMDIFrameWnd() {
    // The children (dispatcher included) outlive this part of the object.
    m_pDispatcher->SetRoot(nullptr);
}

void CMDIFrameWnd::LoadMenus(unsigned nDefaultMenu, unsigned nDocumentMenu) {
    m_defaultMenus = m_pMenuBuilder->BuildMenus(nDefaultMenu, this);
    m_documentMenus = m_pMenuBuilder->BuildMenus(nDocumentMenu, this);
    m_pShownMenus = nullptr;
    OnChildFramesChanged();
}

QToolBar* CMDIFrameWnd::LoadToolBar(unsigned nID, const QString& strTitle) {
    QToolBar* pBar = m_pMenuBuilder->BuildToolBar(nID, strTitle, this);
    addToolBar(Qt::TopToolBarArea, pBar);
    if (m_pToolBar == nullptr)
        m_pToolBar = pBar;
    return pBar;
}

void CMDIFrameWnd::LoadAccelerators(unsigned nID) {
    m_pMenuBuilder->InstallAccelerators(nID, this);
}

void CMDIFrameWnd::AddChildFrame(CMDIChildWnd* pFrame) {
    m_pMdiArea->addSubWindow(pFrame);
    OnChildFrameCreated(pFrame);
    OnChildFramesChanged();
}

QList<CMDIChildWnd*> CMDIFrameWnd::ChildFrames() const {
    QList<CMDIChildWnd*> frames;
    for (QMdiSubWindow* pWindow : m_pMdiArea->subWindowList()) {
        auto* pChild = dynamic_cast<CMDIChildWnd*>(pWindow);
        if (pChild != nullptr && !pChild->IsBeingDestroyed())
            frames.push_back(pChild);
    }
    return frames;
}

void CMDIFrameWnd::OnChildFramesChanged() {
    const bool bDocuments = !ChildFrames().isEmpty() && !m_documentMenus.isEmpty();
    ShowMenus(bDocuments ? m_documentMenus : m_defaultMenus);
    OnUpdateFrameTitle();
}

void CMDIFrameWnd::ShowMenus(const QList<QMenu*>& menus) {
    if (m_pShownMenus == &menus)
        return;
    m_pShownMenus = &menus;
    // The menus belong to this window, so clearing the bar only takes them off it.
    menuBar()->clear();
    for (QMenu* pMenu : menus)
        menuBar()->addMenu(pMenu);
}

CFrameWnd* CMDIFrameWnd::GetActiveChildFrame() const {
    // The current window stays current while the program is not the active one (a tray
    // menu opened over another program still reaches the image window).
    auto* pChild = dynamic_cast<CMDIChildWnd*>(m_pMdiArea->currentSubWindow());
    return pChild != nullptr && !pChild->IsBeingDestroyed() ? pChild : nullptr;
}

CView* CMDIFrameWnd::GetActiveView() const {
    CFrameWnd* pChild = GetActiveChildFrame();
    return pChild != nullptr ? pChild->GetActiveView() : nullptr;
}

void CMDIFrameWnd::ActivateFrame() {
    if (isMinimized())
        showNormal();
    else
        show();
    raise();
    activateWindow();
}

void CMDIFrameWnd::DestroyFrame() {
    hide();
    deleteLater();
}

void CMDIFrameWnd::RequestClose() {
    close();
}

void CMDIFrameWnd::OnUpdateFrameTitle() {
    const QString strApp = LoadString(IDS_APP_TITLE);
    CFrameWnd* pChild = GetActiveChildFrame();
    CDocument* pDoc = pChild != nullptr ? pChild->GetActiveDocument() : nullptr;
    // A document still loading (or failing to) has no name yet: "Quorvi Studio - " says nothing.
    if (pDoc != nullptr && pDoc->GetTitle().isEmpty())
        pDoc = nullptr;
    if (pDoc == nullptr) {
        setWindowTitle(strApp);
        return;
    }
    // A maximised image window has no title bar of its own: its title joins the main one in
    // brackets (the MDI area keeps this form and adds nothing when it sees it).
    const QString strChild = pChild->TitleFor(pDoc->GetTitle());
    auto* pWidget = dynamic_cast<QWidget*>(pChild);
    setWindowTitle(pWidget != nullptr && pWidget->isMaximized()
                       ? QStringLiteral("%1 - [%2]").arg(strApp, strChild)
                       : QStringLiteral("%1 - %2").arg(strApp, strChild));
}

void CMDIFrameWnd::closeEvent(QCloseEvent* pEvent) {
    CWinApp* pApp = Application();
    if (pApp == nullptr || pApp->MainWnd() != this) {
        QMainWindow::closeEvent(pEvent);
        return;
    }
    bool bClose = false;
    GuardCommand(m_ui, [&] {
        bClose = pApp->SaveAllModified();
        if (bClose)
            pApp->CloseAllDocuments(false);
    });
    if (!bClose) {
        pEvent->ignore();
        return;
    }
    QMainWindow::closeEvent(pEvent);
}

void CMDIFrameWnd::OnInitMenuPopup(QMenu*) {}

void CMDIFrameWnd::OnSubWindowActivated(QMdiSubWindow* pWindow) {
    auto viewOf = [](QMdiSubWindow* p) -> CView* {
        auto* pChild = dynamic_cast<CMDIChildWnd*>(p);
        return pChild != nullptr && !pChild->IsBeingDestroyed() ? pChild->GetActiveView() : nullptr;
    };
    // A null activation (the program lost the focus) keeps the current window current.
    if (pWindow == nullptr && m_pMdiArea->currentSubWindow() != nullptr)
        return;
    CView* pOld = viewOf(m_pLastActive);
    CView* pNew = viewOf(pWindow);
    m_pLastActive = pWindow;
    if (pOld != pNew) {
        GuardCommand(m_ui, [&] {
            if (pOld != nullptr)
                pOld->OnActivateView(false, pNew, pOld);
            if (pNew != nullptr)
                pNew->OnActivateView(true, pNew, pOld);
        });
    }
    OnChildFramesChanged();
}

void CMDIFrameWnd::OnWindowCascade() {
    // Back to front in the order the user last used them, the active window in front.
    QList<CMDIChildWnd*> frames;
    for (QMdiSubWindow* pWindow : m_pMdiArea->subWindowList(QMdiArea::StackingOrder)) {
        auto* pFrame = dynamic_cast<CMDIChildWnd*>(pWindow);
        if (pFrame != nullptr && !pFrame->IsBeingDestroyed() && pFrame->isVisible() &&
            !pFrame->isMinimized())
            frames.push_back(pFrame);
    }
    if (frames.isEmpty())
        return;
    const std::vector<QRect> rects =
        mdi::CascadeRects(ArrangeIcons(), int(frames.size()), CascadeStep());
    for (qsizetype i = 0; i < frames.size(); ++i) {
        frames[i]->showNormal();
        frames[i]->setGeometry(rects[std::size_t(i)]);
        frames[i]->raise();
    }
}

void CMDIFrameWnd::OnWindowTileHorz() {
    TileStacked(true);
}

void CMDIFrameWnd::OnWindowTileVert() {
    TileStacked(false);
}

void CMDIFrameWnd::TileStacked(bool bRows) {
    QList<CMDIChildWnd*> frames;
    for (CMDIChildWnd* pFrame : ChildFrames()) {
        if (pFrame->isVisible() && !pFrame->isMinimized())
            frames.push_back(pFrame);
    }
    if (frames.isEmpty())
        return;
    const QRect area = ArrangeIcons();
    const auto nCount = static_cast<int>(frames.size());
    for (int i = 0; i < nCount; ++i) {
        frames[i]->showNormal();
        if (bRows) {
            const int nTop = area.height() * i / nCount, nBottom = area.height() * (i + 1) / nCount;
            frames[i]->setGeometry(area.left(), area.top() + nTop, area.width(), nBottom - nTop);
        } else {
            const int nLeft = area.width() * i / nCount, nRight = area.width() * (i + 1) / nCount;
            frames[i]->setGeometry(area.left() + nLeft, area.top(), nRight - nLeft, area.height());
        }
    }
}

void CMDIFrameWnd::OnWindowArrange() {
    ArrangeIcons();
}

QRect CMDIFrameWnd::ArrangeIcons() {
    QList<CMDIChildWnd*> icons;
    std::vector<QSize> sizes;
    for (CMDIChildWnd* pFrame : ChildFrames()) {
        if (pFrame->isMinimized()) {
            icons.push_back(pFrame);
            sizes.push_back(pFrame->size());
        }
    }
    const QRect area = m_pMdiArea->viewport()->rect();
    const std::vector<QPoint> positions = mdi::IconPositions(area, sizes);
    for (qsizetype i = 0; i < icons.size(); ++i) {
        icons[i]->move(positions[std::size_t(i)]);
        icons[i]->raise(); // never covered by the windows arranged above them
    }
    return mdi::AreaAboveIcons(area, sizes);
}

int CMDIFrameWnd::CascadeStep() const {
    // A title bar with the frame above it: each window's title stays in sight.
    for (CMDIChildWnd* pFrame : ChildFrames()) {
        if (pFrame->widget() != nullptr && pFrame->isVisible() && !pFrame->isMinimized() &&
            !pFrame->isMaximized())
            return std::max(8, pFrame->widget()->mapTo(pFrame, QPoint()).y());
    }
    return std::max(8, style()->pixelMetric(QStyle::PM_TitleBarHeight) +
                           2 * style()->pixelMetric(QStyle::PM_MdiSubWindowFrameWidth));
}

QRect CMDIFrameWnd::NewChildRect(const CMDIChildWnd& frame, const QSize& size) const {
    int nOpen = 0;
    for (CMDIChildWnd* pOther : ChildFrames())
        nOpen += pOther != &frame && pOther->isVisible() && !pOther->isMinimized() ? 1 : 0;
    return mdi::NewWindowRect(m_pMdiArea->viewport()->rect(), nOpen, CascadeStep(), size);
}

void CMDIFrameWnd::OnWindowNew() {
    CFrameWnd* pActive = GetActiveChildFrame();
    CDocument* pDoc = pActive != nullptr ? pActive->GetActiveDocument() : nullptr;
    CDocTemplate* pTemplate = pDoc != nullptr ? pDoc->GetDocTemplate() : nullptr;
    if (pTemplate == nullptr)
        return;
    if (CFrameWnd* pFrame = pTemplate->CreateNewFrame(pDoc, pActive))
        pTemplate->InitialUpdateFrame(pFrame, pDoc);
}

void CMDIFrameWnd::OnUpdateMDIWindowCmd(CCmdUI& cmdUI) {
    cmdUI.Enable(GetActiveChildFrame() != nullptr);
}

void CMDIFrameWnd::OnViewToolBar() {
    if (m_pToolBar != nullptr)
        m_pToolBar->setVisible(!m_pToolBar->isVisible());
}

void CMDIFrameWnd::OnUpdateViewToolBar(CCmdUI& cmdUI) {
    cmdUI.Enable(m_pToolBar != nullptr);
    cmdUI.SetCheck(m_pToolBar != nullptr && m_pToolBar->isVisible() ? 1 : 0);
}

void CMDIFrameWnd::OnViewStatusBar() {
    if (QStatusBar* pBar = findChild<QStatusBar*>(QString(), Qt::FindDirectChildrenOnly))
        pBar->setVisible(!pBar->isVisible());
}

void CMDIFrameWnd::OnUpdateViewStatusBar(CCmdUI& cmdUI) {
    QStatusBar* pBar = findChild<QStatusBar*>(QString(), Qt::FindDirectChildrenOnly);
    cmdUI.Enable(pBar != nullptr);
    cmdUI.SetCheck(pBar != nullptr && pBar->isVisible() ? 1 : 0);
}
