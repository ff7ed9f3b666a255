// SPDX-License-Identifier: MIT
// Full-screen mode of the main window.
#include "app/FullScreenMode.h"

#include "framework/CommandIds.h"
#include "framework/ui/CommandDispatcher.h"
#include "framework/ui/MDIFrameWnd.h"
#include "framework/ui/MenuBuilder.h"
#include "views/ViewManager.h"

#include <QAction>
#include <QApplication>
#include <QKeyEvent>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QScreen>
#include <QStatusBar>
#include <QToolBar>
#include <QVBoxLayout>

namespace {

// A small tool window of the main frame (kept above it by the window manager) holding pBar.
QWidget* FloatingWindow(QWidget* pFrame, const QString& strTitle, QWidget* pBar) {
    auto* pWindow = new QWidget(pFrame, Qt::Tool | Qt::WindowTitleHint | Qt::CustomizeWindowHint);
    pWindow->setWindowTitle(strTitle);
    auto* pLayout = new QVBoxLayout(pWindow);
    pLayout->setContentsMargins(0, 0, 0, 0);
    pBar->setParent(pWindow);
    pLayout->addWidget(pBar);
    return pWindow;
}

} // namespace

CFullScreenMode::CFullScreenMode(CMDIFrameWnd& frame, CViewManager& tabBar)
    : QObject(&frame), m_frame(frame), m_tabBar(tabBar) {}

CFullScreenMode::~CFullScreenMode() = default;

void CFullScreenMode::Toggle() {
    if (m_bFullScreen)
        Leave();
    else
        Enter();
}

QWidget* CFullScreenMode::ActiveChild() const {
    return m_frame.MdiArea()->currentSubWindow();
}

void CFullScreenMode::Enter() {
    if (m_bFullScreen)
        return;
    QWidget* pActive = ActiveChild();
    m_bActiveWasMaximized = pActive != nullptr && pActive->isMaximized();
    m_bToolBarWasVisible = m_frame.ToolBar() != nullptr && m_frame.ToolBar()->isVisible();
    m_bStatusBarWasVisible = m_frame.statusBar()->isVisible();
    m_bFrameWasMaximized = m_frame.isMaximized();
    m_rectFrameSaved = m_frame.normalGeometry();
    FloatTabBar();
    if (m_frame.ToolBar() != nullptr)
        m_frame.ToolBar()->hide();
    m_frame.statusBar()->hide();
    m_frame.showFullScreen();
    CreateFullScreenBar();
    if (pActive != nullptr)
        pActive->showMaximized();
    m_bFullScreen = true;
    qApp->installEventFilter(this);
}

void CFullScreenMode::Leave() {
    if (!m_bFullScreen)
        return;
    qApp->removeEventFilter(this);
    if (m_frame.ToolBar() != nullptr)
        m_frame.ToolBar()->setVisible(m_bToolBarWasVisible);
    m_frame.statusBar()->setVisible(m_bStatusBarWasVisible);
    DockTabBar();
    delete m_pFullScreenBar;
    if (m_bFrameWasMaximized) {
        m_frame.showMaximized();
    } else {
        m_frame.showNormal();
        m_frame.setGeometry(m_rectFrameSaved);
    }
    if (QWidget* pActive = ActiveChild()) {
        if (m_bActiveWasMaximized)
            pActive->showMaximized();
        else
            pActive->showNormal();
    }
    m_bFullScreen = false;
}

void CFullScreenMode::FloatTabBar() {
    const bool bVisible = m_tabBar.isVisible();
    m_frame.removeToolBar(&m_tabBar);
    m_pTabBarWindow = FloatingWindow(&m_frame, m_tabBar.windowTitle(), &m_tabBar);
    m_tabBar.setVisible(bVisible);
    m_pTabBarWindow->adjustSize();
    const QRect screen = m_frame.screen()->geometry();
    const QSize size = m_pTabBarWindow->size();
    m_pTabBarWindow->move(screen.x() + (screen.width() - size.width()) / 2,
                          screen.y() + screen.height() - 3 * size.height());
    m_pTabBarWindow->setVisible(bVisible);
}

void CFullScreenMode::DockTabBar() {
    const bool bVisible =
        m_pTabBarWindow != nullptr ? m_tabBar.isVisibleTo(m_pTabBarWindow) : m_tabBar.isVisible();
    m_tabBar.Create(&m_frame);
    m_tabBar.setVisible(bVisible);
    delete m_pTabBarWindow;
}

void CFullScreenMode::CreateFullScreenBar() {
    QToolBar* pBar = m_frame.MenuBuilder().BuildToolBar(IDR_TOOLBAR_WINDOWS,
                                                        QStringLiteral("Full Screen"), &m_frame);
    for (QAction* pAction : pBar->actions()) {
        if (CCommandDispatcher::ActionId(pAction) != ID_VIEW_FULL_SCREEN)
            pBar->removeAction(pAction);
    }
    pBar->setMovable(false);
    pBar->setObjectName(QStringLiteral("FullScreenBar"));
    m_pFullScreenBar = FloatingWindow(&m_frame, QStringLiteral("Full Screen"), pBar);
    m_pFullScreenBar->adjustSize();
    const QRect screen = m_frame.screen()->geometry();
    const QSize size = m_pFullScreenBar->size();
    m_pFullScreenBar->move(screen.x() + screen.width() - 3 * size.width(),
                           screen.y() + 3 * size.height());
    m_pFullScreenBar->show();
}

bool CFullScreenMode::eventFilter(QObject* pWatched, QEvent* pEvent) {
    if (pEvent->type() == QEvent::KeyPress &&
        static_cast<QKeyEvent*>(pEvent)->key() == Qt::Key_Escape && pWatched->isWidgetType() &&
        static_cast<QWidget*>(pWatched)->window() != nullptr) {
        const QWidget* pWindow = static_cast<QWidget*>(pWatched)->window();
        if (pWindow == &m_frame || pWindow == m_pTabBarWindow || pWindow == m_pFullScreenBar)
            Leave();
    }
    return false;
}
