// SPDX-License-Identifier: MIT
// The main frame base: a QMainWindow with an MDI area, the menus of the resource data (the
// default menu while no image window is open, the document menu otherwise), the toolbar, the
// accelerators, and the routing of every command through the active image window first.
#pragma once

#include "framework/FrameWnd.h"

#include <QList>
#include <QMainWindow>
#include <QPointer>

class CCommandDispatcher;
class CMDIChildWnd;
class CMenuBuilder;
class CUiServices;
class QMdiArea;
class QMdiSubWindow;
class QMenu;
class QToolBar;

class CMDIFrameWnd : public QMainWindow, public CFrameWnd {
    Q_OBJECT
    QUORVI_DECLARE_COMMAND_MAP()

public:
    // ui: what the frame, its image windows and its commands reach the user with.
    explicit CMDIFrameWnd(CUiServices& ui, QWidget* pParent = nullptr);
    ~CMDIFrameWnd() override;

    CUiServices& Ui() const noexcept { return m_ui; }
    QMdiArea* MdiArea() const noexcept { return m_pMdiArea; }
    CCommandDispatcher& Dispatcher() const noexcept { return *m_pDispatcher; }
    CMenuBuilder& MenuBuilder() const noexcept { return *m_pMenuBuilder; }

    // Builds both menus; the menu bar shows the one that fits the open windows.
    void LoadMenus(unsigned nDefaultMenu, unsigned nDocumentMenu);
    const QList<QMenu*>& DefaultMenus() const noexcept { return m_defaultMenus; }
    const QList<QMenu*>& DocumentMenus() const noexcept { return m_documentMenus; }
    // Builds and docks the toolbar (the one View Toolbar shows and hides).
    QToolBar* LoadToolBar(unsigned nID, const QString& strTitle);
    QToolBar* ToolBar() const noexcept { return m_pToolBar; }
    void LoadAccelerators(unsigned nID);

    // Adds an image window to the MDI area (not shown until its first update).
    void AddChildFrame(CMDIChildWnd* pFrame);
    // The open image windows, without those being destroyed.
    QList<CMDIChildWnd*> ChildFrames() const;
    // An image window joins (before its first showing) or is about to leave.
    virtual void OnChildFrameCreated(CMDIChildWnd*) {}
    virtual void OnChildFrameDestroying(CMDIChildWnd*) {}
    // An image window came, went or became active: menus and title follow.
    virtual void OnChildFramesChanged();

    CFrameWnd* GetActiveChildFrame() const override;
    CView* GetActiveView() const override;
    void ActivateFrame() override;
    void DestroyFrame() override;
    void RequestClose() override;
    // "Quorvi Studio - title" while an image window is active, the application title otherwise.
    void OnUpdateFrameTitle() override;

    // Where a new image window of this size opens: the next place of a cascade over the windows
    // already open, so that no two open exactly on top of each other.
    QRect NewChildRect(const CMDIChildWnd& frame, const QSize& size) const;

    // Window commands.
    void OnWindowCascade();
    void OnWindowTileHorz();
    void OnWindowTileVert();
    void OnWindowArrange();
    void OnWindowNew();
    void OnUpdateMDIWindowCmd(CCmdUI& cmdUI);
    void OnViewToolBar();
    void OnUpdateViewToolBar(CCmdUI& cmdUI);
    void OnViewStatusBar();
    void OnUpdateViewStatusBar(CCmdUI& cmdUI);

protected:
    // Closing the main window: the application's close request, then every document closes.
    void closeEvent(QCloseEvent* pEvent) override;
    // A menu is about to open, before its update handlers run (hotkey captions go here).
    virtual void OnInitMenuPopup(QMenu* pMenu);

private:
    void OnSubWindowActivated(QMdiSubWindow* pWindow);
    void ShowMenus(const QList<QMenu*>& menus);
    void TileStacked(bool bRows);
    // Puts the minimised windows in their rows along the bottom; the area left above them.
    QRect ArrangeIcons();
    int CascadeStep() const;

    CUiServices& m_ui;
    QMdiArea* m_pMdiArea;
    CCommandDispatcher* m_pDispatcher;
    std::unique_ptr<CMenuBuilder> m_pMenuBuilder;
    QList<QMenu*> m_defaultMenus;
    QList<QMenu*> m_documentMenus;
    const QList<QMenu*>* m_pShownMenus = nullptr;
    QToolBar* m_pToolBar = nullptr;
    QPointer<QMdiSubWindow> m_pLastActive;
};
