// SPDX-License-Identifier: MIT
// The document-facing half of a view: its document, update notifications, activation and the
// routing of commands from the view to its document. Widget views derive from a Qt widget and
// from this class.
#pragma once

#include "framework/CmdTarget.h"

#include <QRect>

class CDocument;
class CFrameWnd;

// What changed in a document, as its views are told.
struct ViewUpdate {
    enum class EKind {
        Everything, // the first update: draw it all
        Image,      // the whole image; its size or depth may have changed
        Rect,       // the pixels inside rc (image coordinates)
        Selection,  // the selection or the floating paste
        Title       // the title or the modified mark
    };
    EKind kind = EKind::Everything;
    QRect rc;

    static ViewUpdate Image() { return {EKind::Image, {}}; }
    static ViewUpdate InRect(const QRect& rcImage) { return {EKind::Rect, rcImage}; }
    static ViewUpdate Selection() { return {EKind::Selection, {}}; }
    static ViewUpdate Title() { return {EKind::Title, {}}; }
};

class CView : public CCmdTarget {
public:
    CView() = default;
    // Leaves the document; when it was the document's last view the document closes.
    ~CView() override;

    CDocument* GetDocument() const noexcept { return m_pDocument; }
    CFrameWnd* GetParentFrame() const noexcept { return m_pParentFrame; }
    void SetParentFrame(CFrameWnd* pFrame) noexcept { m_pParentFrame = pFrame; }

    // Called once, after the view was attached to its document and before it is first shown.
    virtual void OnInitialUpdate() { OnUpdate(nullptr, ViewUpdate{}); }
    // The document changed; pSender is the view that caused it (or null), update says what.
    virtual void OnUpdate(CView* pSender, const ViewUpdate& update);
    // This view became active (bActivate true) or lost activation.
    virtual void OnActivateView(bool bActivate, CView* pActivateView, CView* pDeactiveView);

    // The view's own table first, then its document's.
    bool OnCmdMsg(unsigned nID, ECmdKind kind, CCmdUI* pCmdUI) override;

private:
    friend class CDocument;
    CDocument* m_pDocument = nullptr;
    CFrameWnd* m_pParentFrame = nullptr;
};
