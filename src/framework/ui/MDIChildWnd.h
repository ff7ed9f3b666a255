// SPDX-License-Identifier: MIT
// The image window base: an MDI sub-window holding one view; its caption follows the document
// title, and closing it runs the save-changes prompt when it is the document's last window.
#pragma once

#include "framework/FrameWnd.h"

#include <QMdiSubWindow>

class CMDIFrameWnd;

class CMDIChildWnd : public QMdiSubWindow, public CFrameWnd {
    Q_OBJECT

public:
    CMDIChildWnd();

    // The view becomes the window's widget (pWidget and pView are the same object seen as a
    // widget and as a view).
    void SetView(QWidget* pWidget, CView* pView);
    CMDIFrameWnd* MainFrame() const;
    bool IsBeingDestroyed() const noexcept { return m_bDestroying; }
    // The window shows maximised when it first shows (the state the last one closed in).
    void SetOpenMaximized(bool bMaximized) noexcept { m_bOpenMaximized = bMaximized; }

    CFrameWnd* GetParentFrame() const override;
    CView* GetActiveView() const override { return m_pView; }
    void ActivateFrame() override;
    // Leaves the document at once; the widgets go when control returns to the event loop.
    void DestroyFrame() override;
    void RequestClose() override { close(); }
    void OnUpdateFrameTitle() override;

protected:
    void closeEvent(QCloseEvent* pEvent) override;
    // Maximised or not, the main title names the window differently.
    void changeEvent(QEvent* pEvent) override;

private:
    CView* m_pView = nullptr;
    bool m_bDestroying = false;
    bool m_bOpenMaximized = false;
};
