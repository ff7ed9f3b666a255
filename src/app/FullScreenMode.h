// SPDX-License-Identifier: MIT
// CFullScreenMode: the main window over the whole screen without its title bar, toolbar and
// status bar, the active image window maximised in it, the file tab bar floating near the bottom
// and a one-button "Full Screen" toolbar that leads back. Leaving restores what was there.
#pragma once

#include <QObject>
#include <QPointer>
#include <QRect>

class CMDIFrameWnd;
class CViewManager;
class QToolBar;
class QWidget;

class CFullScreenMode : public QObject {
    Q_OBJECT

public:
    CFullScreenMode(CMDIFrameWnd& frame, CViewManager& tabBar);
    ~CFullScreenMode() override;

    bool IsOn() const noexcept { return m_bFullScreen; }
    void Toggle();
    void Enter();
    void Leave();

    // While on: the floating windows of the tab bar and of the "Full Screen" toolbar.
    QWidget* TabBarWindow() const { return m_pTabBarWindow; }
    QWidget* FullScreenBarWindow() const { return m_pFullScreenBar; }

protected:
    // Escape anywhere in the program leaves full screen.
    bool eventFilter(QObject* pWatched, QEvent* pEvent) override;

private:
    void FloatTabBar();
    void DockTabBar();
    void CreateFullScreenBar();
    QWidget* ActiveChild() const;

    CMDIFrameWnd& m_frame;
    CViewManager& m_tabBar;
    bool m_bFullScreen = false;
    bool m_bToolBarWasVisible = false;
    bool m_bStatusBarWasVisible = false;
    bool m_bFrameWasMaximized = false;
    bool m_bActiveWasMaximized = false;
    QRect m_rectFrameSaved;
    QPointer<QWidget> m_pTabBarWindow;
    QPointer<QWidget> m_pFullScreenBar;
};
