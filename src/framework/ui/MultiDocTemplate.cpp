// SPDX-License-Identifier: MIT
// The template of the MDI documents.
#include "framework/ui/MultiDocTemplate.h"

#include "framework/Document.h"
#include "framework/ui/MDIFrameWnd.h"

CMultiDocTemplate::CMultiDocTemplate(CMDIFrameWnd& mainFrame, unsigned nIDResource,
                                     DocumentFactory documents, FrameFactory frames,
                                     ViewFactory views)
    : CDocTemplate(nIDResource, std::move(documents)), m_mainFrame(mainFrame),
      m_frames(std::move(frames)), m_views(std::move(views)) {}

CFrameWnd* CMultiDocTemplate::CreateNewFrame(CDocument* pDoc, CFrameWnd*) {
    if (!m_frames || !m_views)
        return nullptr;
    CMDIChildWnd* pFrame = m_frames();
    const auto [pWidget, pView] = m_views();
    pFrame->SetView(pWidget, pView);
    m_mainFrame.AddChildFrame(pFrame);
    pDoc->AddView(pView);
    return pFrame;
}
