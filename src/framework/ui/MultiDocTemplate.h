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

class CMultiDocTemplate : public CDocTemplate {
public:
    using FrameFactory = std::function<CMDIChildWnd*()>;
    // The view as a widget and as a view (the same object).
    using ViewFactory = std::function<std::pair<QWidget*, CView*>()>;

    CMultiDocTemplate(unsigned nIDResource, DocumentFactory documents, FrameFactory frames,
                      ViewFactory views);

    // Needs the application's main window to be a CMDIFrameWnd; null otherwise.
    CFrameWnd* CreateNewFrame(CDocument* pDoc, CFrameWnd* pOther) override;

private:
    FrameFactory m_frames;
    ViewFactory m_views;
};

// The template for document class TDoc, image-window class TFrame and view class TView (a
// QWidget and a CView), all default-constructible.
template <class TDoc, class TFrame, class TView>
std::unique_ptr<CMultiDocTemplate> MakeMultiDocTemplate(unsigned nIDResource) {
    return std::make_unique<CMultiDocTemplate>(
        nIDResource, [] { return std::make_unique<TDoc>(); }, [] { return new TFrame(); },
        [] {
            auto* pView = new TView();
            return std::pair<QWidget*, CView*>(pView, pView);
        });
}
