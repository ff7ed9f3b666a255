// SPDX-License-Identifier: MIT
// The routing half of a frame window: the active child frame (for the main frame), the active
// view, the frame's own table and, for the top-level frame, the application.
#pragma once

#include "framework/CmdTarget.h"

#include <QString>

#include <vector>

class CDocument;
class CView;
class CWinApp;

class CFrameWnd : public CCmdTarget {
public:
    // A main frame that goes first leaves its application without a main window.
    ~CFrameWnd() override;

    // The frame this one sits in (the main frame for an image window), null for the main frame.
    virtual CFrameWnd* GetParentFrame() const { return nullptr; }
    // The active child frame of a main frame; null for child frames and when none is open.
    virtual CFrameWnd* GetActiveChildFrame() const { return nullptr; }
    // The view that has the focus in this frame (in the active child for the main frame).
    virtual CView* GetActiveView() const = 0;
    CDocument* GetActiveDocument() const;

    // Brings the frame forward (and shows it).
    virtual void ActivateFrame() = 0;
    // Destroys the frame and its views without asking anything. The frame's views must have left
    // their documents when this returns; the widgets themselves may go later.
    virtual void DestroyFrame() = 0;
    // Asks the frame to close as the user's Close does (the save-changes prompt included).
    virtual void RequestClose() = 0;
    // Refreshes the caption from the document title (and the window number when a document
    // has several frames).
    virtual void OnUpdateFrameTitle() {}

    // First showing of a new frame: the views' initial update, then activation.
    virtual void InitialUpdateFrame(CDocument* pDoc, bool bMakeVisible);

    // The window number when a document has several frames ("title:2"), 0 when it has one.
    int WindowNumber() const noexcept { return m_nWindow; }
    void SetWindowNumber(int nWindow) noexcept { m_nWindow = nWindow; }
    // The caption for a document title: "title" or "title:n".
    QString TitleFor(const QString& strDocTitle) const;

    // The application a main frame hands the commands nobody else took and its close request
    // to (set by the application when the frame becomes its main window; null for others).
    CWinApp* Application() const noexcept { return m_pApp; }
    void SetApplication(CWinApp* pApp) noexcept { m_pApp = pApp; }

    // Active child frame, active view, this frame's table, then (top level only) the application.
    bool OnCmdMsg(unsigned nID, ECmdKind kind, CCmdUI* pCmdUI) override;

protected:
    // The views held by this frame (one for image windows).
    virtual std::vector<CView*> Views() const;

private:
    int m_nWindow = 0;
    CWinApp* m_pApp = nullptr;
};
