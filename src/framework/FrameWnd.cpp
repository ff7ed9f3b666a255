// SPDX-License-Identifier: MIT
// The routing half of a frame window.
#include "framework/FrameWnd.h"

#include "framework/Document.h"
#include "framework/View.h"
#include "framework/WinApp.h"

CFrameWnd::~CFrameWnd() {
    if (m_pApp != nullptr && m_pApp->MainWnd() == this)
        m_pApp->SetMainWnd(nullptr);
}

CDocument* CFrameWnd::GetActiveDocument() const {
    CView* pView = GetActiveView();
    return pView != nullptr ? pView->GetDocument() : nullptr;
}

void CFrameWnd::InitialUpdateFrame(CDocument* pDoc, bool bMakeVisible) {
    if (bMakeVisible) {
        for (CView* pView : Views())
            pView->OnInitialUpdate();
        ActivateFrame();
    }
    if (pDoc != nullptr)
        pDoc->UpdateFrameCounts();
    OnUpdateFrameTitle();
}

QString CFrameWnd::TitleFor(const QString& strDocTitle) const {
    return m_nWindow > 0 ? QStringLiteral("%1:%2").arg(strDocTitle).arg(m_nWindow) : strDocTitle;
}

bool CFrameWnd::OnCmdMsg(unsigned nID, ECmdKind kind, CCmdUI* pCmdUI) {
    if (CFrameWnd* pChild = GetActiveChildFrame();
        pChild != nullptr && pChild->OnCmdMsg(nID, kind, pCmdUI))
        return true;
    // A main frame's active view lives in its active child and was offered there.
    if (GetActiveChildFrame() == nullptr) {
        if (CView* pView = GetActiveView(); pView != nullptr && pView->OnCmdMsg(nID, kind, pCmdUI))
            return true;
    }
    if (DispatchOwn(nID, kind, pCmdUI))
        return true;
    if (GetParentFrame() != nullptr)
        return false;
    return m_pApp != nullptr && m_pApp->OnCmdMsg(nID, kind, pCmdUI);
}

std::vector<CView*> CFrameWnd::Views() const {
    std::vector<CView*> views;
    if (CView* pView = GetActiveView())
        views.push_back(pView);
    return views;
}
