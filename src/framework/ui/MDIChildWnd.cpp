// SPDX-License-Identifier: MIT
// The image window base.
#include "framework/ui/MDIChildWnd.h"

#include "framework/Document.h"
#include "framework/GuardCommand.h"
#include "framework/View.h"
#include "framework/ui/MDIFrameWnd.h"

#include <QAction>
#include <QCloseEvent>
#include <QKeySequence>
#include <QMdiArea>
#include <QMenu>

CMDIChildWnd::CMDIChildWnd() {
    // Ctrl+W (Paste As New Image) and Ctrl+F4 (Close, with its question about saving) belong
    // to the program, not to the window's system menu: two owners of a key make it do nothing.
    if (QMenu* pSystem = systemMenu()) {
        const QKeySequence programKeys[] = {QKeySequence(Qt::CTRL | Qt::Key_W),
                                            QKeySequence(Qt::CTRL | Qt::Key_F4)};
        for (QAction* pAction : pSystem->actions()) {
            QList<QKeySequence> keys = pAction->shortcuts();
            qsizetype nRemoved = 0;
            for (const QKeySequence& key : programKeys)
                nRemoved += keys.removeAll(key);
            if (nRemoved > 0)
                pAction->setShortcuts(keys);
        }
    }
}

void CMDIChildWnd::SetView(QWidget* pWidget, CView* pView) {
    setWidget(pWidget);
    m_pView = pView;
    if (m_pView != nullptr)
        m_pView->SetParentFrame(this);
}

CMDIFrameWnd* CMDIChildWnd::MainFrame() const {
    QMdiArea* pArea = mdiArea();
    return pArea != nullptr ? dynamic_cast<CMDIFrameWnd*>(pArea->window()) : nullptr;
}

CFrameWnd* CMDIChildWnd::GetParentFrame() const {
    return MainFrame();
}

void CMDIChildWnd::ActivateFrame() {
    if (!isVisible() && m_bOpenMaximized) {
        showMaximized();
    } else if (!isVisible()) {
        // A window too small to use (a view without a size of its own) opens at three quarters
        // of the area, as windows do when the system chooses their size; the view's first
        // update may fit it further.
        QMdiArea* pArea = mdiArea();
        CMDIFrameWnd* pMain = MainFrame();
        if (pArea != nullptr && pMain != nullptr) {
            const QSize area = pArea->viewport()->size();
            QSize wanted = size();
            if (width() < area.width() / 3 || height() < area.height() / 3)
                wanted = area * 3 / 4;
            setGeometry(pMain->NewChildRect(*this, wanted));
        }
        show();
    }
    if (QMdiArea* pArea = mdiArea())
        pArea->setActiveSubWindow(this);
    if (widget() != nullptr)
        widget()->setFocus();
}

void CMDIChildWnd::DestroyFrame() {
    if (m_bDestroying)
        return;
    m_bDestroying = true;
    if (CMDIFrameWnd* pMain = MainFrame())
        pMain->OnChildFrameDestroying(this);
    if (m_pView != nullptr) {
        if (CDocument* pDoc = m_pView->GetDocument())
            pDoc->RemoveView(m_pView);
    }
    QMdiArea* pArea = mdiArea();
    if (pArea != nullptr && isHidden()) {
        // Never shown (its document failed to open): it leaves as if it had never come. The area
        // would otherwise pick a window of its own to activate when it loses this one.
        QMdiSubWindow* pCurrent = pArea->currentSubWindow();
        pArea->removeSubWindow(this);
        if (pCurrent != nullptr && pCurrent != this && pArea->currentSubWindow() != pCurrent)
            pArea->setActiveSubWindow(pCurrent);
    } else if (pArea != nullptr && pArea->currentSubWindow() == this) {
        pArea->activateNextSubWindow();
    }
    hide();
    if (pArea != nullptr && pArea->currentSubWindow() == this)
        pArea->setActiveSubWindow(nullptr);
    if (CMDIFrameWnd* pMain = MainFrame())
        pMain->OnChildFramesChanged();
    deleteLater();
}

void CMDIChildWnd::OnUpdateFrameTitle() {
    CDocument* pDoc = GetActiveDocument();
    if (pDoc != nullptr)
        setWindowTitle(TitleFor(pDoc->GetTitle()));
    if (CMDIFrameWnd* pMain = MainFrame())
        pMain->OnUpdateFrameTitle();
}

void CMDIChildWnd::changeEvent(QEvent* pEvent) {
    QMdiSubWindow::changeEvent(pEvent);
    if (pEvent->type() != QEvent::WindowStateChange || m_bDestroying)
        return;
    if (CMDIFrameWnd* pMain = MainFrame())
        pMain->OnUpdateFrameTitle();
}

void CMDIChildWnd::closeEvent(QCloseEvent* pEvent) {
    // The window goes through DestroyFrame (deferred), never through the plain close.
    pEvent->ignore();
    if (m_bDestroying)
        return;
    CDocument* pDoc = GetActiveDocument();
    CMDIFrameWnd* pMain = MainFrame();
    if (pDoc == nullptr || pMain == nullptr) {
        DestroyFrame();
        return;
    }
    GuardCommand(pMain->Ui(), [&] {
        if (!pDoc->CanCloseFrame(this))
            return;
        if (pDoc->Views().size() == 1)
            pDoc->OnCloseDocument();
        else
            DestroyFrame();
    });
}
