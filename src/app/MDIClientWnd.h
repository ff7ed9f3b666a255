// SPDX-License-Identifier: MIT
// CMDIClientWnd: the main window's workspace controller. It follows the image windows as they
// come and go (the file tab bar, the maximised state new windows take), handles the window
// commands (tab bar, full screen, next/previous, save all, close all, the Windows dialog), keeps
// the Window menu's list of windows and paints the workspace background. It is offered every
// command before the rest of the main frame's routing.
#pragma once

#include "framework/CmdTarget.h"
#include "platform/RegistryStore.h"
#include "platform/WorkspaceSettings.h"

#include <QObject>

#include <memory>

class CFullScreenMode;
class CMDIChildWnd;
class CMDIFrameWnd;
class CUiServices;
class CView;
class CViewManager;
class CWinApp;
class CWorkspaceBackground;
class QFont;
class QMenu;

class CMDIClientWnd : public QObject, public CCmdTarget {
    Q_OBJECT
    QUORVI_DECLARE_COMMAND_MAP()

public:
    // Reads the workspace settings (once) and builds the tab bar into frame.
    CMDIClientWnd(CMDIFrameWnd& frame, CWinApp& app, platform::HiveLocations locations);
    // Writes the workspace settings.
    ~CMDIClientWnd() override;
    // The workspace section ("Settings"): written when the window goes, and by an exit that
    // never gets that far (the X connection lost).
    void SaveSettings();

    CViewManager& TabBar() const noexcept { return *m_pTabBar; }
    CFullScreenMode& FullScreen() const noexcept { return *m_pFullScreen; }
    CWorkspaceBackground& Background() const noexcept { return *m_pBackground; }
    const platform::CWorkspaceSettings& Settings() const noexcept { return m_settings; }
    bool IsChildMaximized() const noexcept { return m_settings.m_bChildMaximized; }

    // An image window joins the workspace (before it first shows) or leaves it.
    void OnChildCreated(CMDIChildWnd* pChild);
    void OnChildDestroying(CMDIChildWnd* pChild);
    // The tab bar follows the active window, the titles and the modified marks.
    void UpdateTabBar();
    // Shows the tab bar when it lists a window, hides it otherwise.
    void ShowTabBarForWindows();
    // The Window menu (recognised by its Next Window item) lists the open windows.
    void RefreshWindowMenu(QMenu* pMenu);

    // The logo font of the settings' record, and the record of a font.
    static QFont FontFromRecord(const platform::LogoFontRecord& record);
    static platform::LogoFontRecord DefaultLogoFont();

    // Commands.
    void OnToggleTabBar();
    void OnUpdateToggleTabBar(CCmdUI& cmdUI);
    void OnToggleFullScreen();
    void OnUpdateToggleFullScreen(CCmdUI& cmdUI);
    void OnWindowNext();
    void OnWindowPrevious();
    void OnWindowCloseAll();
    void OnWindowSaveAll();
    void OnWindowManage();
    void OnUpdateWindowCommand(CCmdUI& cmdUI);

protected:
    bool eventFilter(QObject* pWatched, QEvent* pEvent) override;

private:
    void ApplyBackground();
    void ShowTabMenu(CView* pView, const QPoint& globalPos);
    void ShowBackgroundMenu(const QPoint& globalPos);
    bool SaveModifiedDocuments();

    CMDIFrameWnd& m_frame;
    CWinApp& m_app;
    platform::HiveLocations m_locations;
    platform::CWorkspaceSettings m_settings;
    CViewManager* m_pTabBar;
    CWorkspaceBackground* m_pBackground;
    CFullScreenMode* m_pFullScreen;
};
