// SPDX-License-Identifier: MIT
// The template of the MDI documents: each new document gets an image window (a CMDIChildWnd)
// holding one view, added to the main frame's MDI area.
#pragma once

#include "framework/DocTemplate.h"
#include "framework/View.h"
#include "framework/ui/MDIChildWnd.h"

#include <QWidget>

#include <functional>
#include <memory>
#include <utility>

class CMDIFrameWnd;

class CMultiDocTemplate : public CDocTemplate {
public:
    using FrameFactory = std::function<CMDIChildWnd*()>;
    // The view as a widget and as a view (the same object).
    using ViewFactory = std::function<std::pair<QWidget*, CView*>()>;

    // The image windows go into mainFrame's MDI area; it must outlive the template's use.
    CMultiDocTemplate(CMDIFrameWnd& mainFrame, unsigned nIDResource, DocumentFactory documents,
                      FrameFactory frames, ViewFactory views);

    CFrameWnd* CreateNewFrame(CDocument* pDoc, CFrameWnd* pOther) override;

private:
    CMDIFrameWnd& m_mainFrame;
    FrameFactory m_frames;
    ViewFactory m_views;
};

// The template for document class TDoc (made from the services), image-window class TFrame and
// view class TView (a QWidget and a CView), the last two default-constructible.
template <class TDoc, class TFrame, class TView>
std::unique_ptr<CMultiDocTemplate> MakeMultiDocTemplate(CMDIFrameWnd& mainFrame,
                                                        unsigned nIDResource) {
    return std::make_unique<CMultiDocTemplate>(
        mainFrame, nIDResource, [](CUiServices& ui) { return std::make_unique<TDoc>(ui); },
        [] { return new TFrame(); },
        [] {
            auto* pView = new TView();
            return std::pair<QWidget*, CView*>(pView, pView);
        });
}
