// SPDX-License-Identifier: MIT
// The document-facing half of a view.
#include "framework/View.h"

#include "framework/Document.h"

CView::~CView() {
    if (m_pDocument != nullptr)
        m_pDocument->RemoveView(this);
}

void CView::OnUpdate(CView*, const ViewUpdate&) {}

void CView::OnActivateView(bool, CView*, CView*) {}

bool CView::OnCmdMsg(unsigned nID, ECmdKind kind, CCmdUI* pCmdUI) {
    if (DispatchOwn(nID, kind, pCmdUI))
        return true;
    return m_pDocument != nullptr && m_pDocument->OnCmdMsg(nID, kind, pCmdUI);
}
