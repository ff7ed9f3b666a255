// SPDX-License-Identifier: MIT
// CMainFrame: the one top-level window: menus, toolbar 128, the four-pane status bar, the MDI
// area with the image windows, hotkey captions in the capture menus, the frame commands, the
// progress bar of long operations, and what Close and Minimize mean (hide, not end).
#pragma once

#include "app/HotkeyCaptions.h"
#include "framework/ui/MDIFrameWnd.h"
#include "image/ProgressSink.h"
#include "views/ImageViewHost.h"

#include <QBasicTimer>

#include <array>
#include <cstdint>
#include <memory>

class CCmdUI;
class CStatusBarProgress;
class CTavixCaptureApp;
class CSystemTray;
class CTavixCaptureView;
class ICaptureEngine;
class ITrayIcon;
class QLabel;

class CMainFrame : public CMDIFrameWnd, public IImageViewHost, public CProgressSink {
    Q_OBJECT
    QUORVI_DECLARE_COMMAND_MAP()

public:
    // The timer that makes the active view's selection outline blink.
    static constexpr int kRefreshTimerId = 3;
    static constexpr int kRefreshInterval = 300; // ms
    // Status-bar pane widths of panes 1 to 3 at the classic 8-point dialog font; they grow with
    // larger fonts so that the texts fit.
    static constexpr std::array<int, 3> kPaneWidths{150, 76, 120};

    explicit CMainFrame(CTavixCaptureApp& app);
    ~CMainFrame() override;

    // The creation steps: menus, toolbar, status bar, maps, timer. False when a required step
    // failed (the program then ends).
    bool Create();

    // IImageViewHost
    void SetPaneText(int nPane, const QString& strText) override;
    QColor ViewBackgroundColor() const override;
    IImagePrinter* ImagePrinter() override { return m_pPrinter; }
    void OnCaptureShown(CTavixCaptureView& view) override;
    QString PaneText(int nPane) const;
    QLabel* Pane(int nPane) const;

    // CProgressSink: a bar from 0 to 100 in pane 0 while an operation runs.
    void SetProgress(double dFraction) override;
    bool IsProgressShowing() const;

    // Services that arrive later (non-owning; null: none). A tray set before Create replaces
    // the frame's own icon (tests); without one Create makes the real notification-area icon.
    void SetTrayIcon(ITrayIcon* pTray) noexcept { m_pTray = pTray; }
    // The frame's own notification-area icon, or null when another one was set.
    CSystemTray* SystemTray() const noexcept { return m_pSystemTray.get(); }
    void SetCaptureEngine(ICaptureEngine* pEngine) noexcept { m_pCaptureEngine = pEngine; }
    void SetImagePrinter(IImagePrinter* pPrinter) noexcept { m_pPrinter = pPrinter; }
    // True when hiding leaves the program reachable through the tray.
    bool CanHideToTray() const;

    const CKeyNameMap& KeyNames() const noexcept { return m_keyNames; }
    const CCaptionMap& Captions() const;
    // The hotkey table the captions show: the hook library's once the capture engine runs,
    // the settings' until then.
    const std::uint16_t* CurrentHotkeyTable() const;
    // Rewrites the capture items of the menu with their captions and hotkeys.
    void ApplyHotkeyCaptions(QMenu* pMenu) const;

    // The active image view, or null.
    CTavixCaptureView* ActiveImageView() const;

    // The next command comes from the tray menu (the capture engine answers those two capture
    // commands differently); cleared by any other command and when the menu has closed.
    bool IsFromTrayMenu() const noexcept { return m_bFromTrayMenu; }
    void SetFromTrayMenu(bool bOn) noexcept { m_bFromTrayMenu = bOn; }

    // The title-bar Close: set by it, consumed by the application's close request.
    bool IsCloseToTray() const noexcept { return m_bCloseToTray; }
    void SetCloseToTray(bool bOn) noexcept { m_bCloseToTray = bOn; }
    // What the title-bar Close button does: mark the close as one to the tray and close.
    void OnSysCommandClose();
    // Hides after Minimize when "OptionsA" asks for it and a tray can take the program.
    void OnMinimized();
    // Hidden where a tray shows the program (counting as minimised), else minimised.
    void HideToTray();
    // Minimised, or hidden to the tray by Close, a hidden start or Minimize.
    bool IsMinimisedOrHiddenMinimised() const;

    // The file tab bar follows the open documents (posted by the documents).
    void OnUpdateTabBar();

    // Command handlers.
    void OnCaptureCommand(unsigned nID);
    void OnUpdateCaptureCommand(CCmdUI& cmdUI);
    void OnExploreOutputDirectory();
    void OnPasteAsNewImage();
    void OnUpdatePasteAsNewImage(CCmdUI& cmdUI);
    void OnCloseAll();
    void OnShowMainWindow();
    void OnZoomPreset(unsigned nID);
    void OnUpdateZoomPreset(CCmdUI& cmdUI);
    void OnHomePage();
    void OnHelp();
    void OnUpdateNeedsDialog(CCmdUI& cmdUI);

protected:
    void OnInitMenuPopup(QMenu* pMenu) override;
    void closeEvent(QCloseEvent* pEvent) override;
    void changeEvent(QEvent* pEvent) override;
    void showEvent(QShowEvent* pEvent) override;
    void timerEvent(QTimerEvent* pEvent) override;

private:
    void CreateStatusBar();

    CTavixCaptureApp& m_app;
    CKeyNameMap m_keyNames;
    std::unique_ptr<CCaptionMap> m_pCaptions;
    std::array<QLabel*, 4> m_panes{};
    std::unique_ptr<CStatusBarProgress> m_pProgress;
    QBasicTimer m_refreshTimer;
    // Operations run on this thread: when control is back in the event loop, the one that
    // reported progress has ended, whatever its last report said.
    QBasicTimer m_progressEndTimer;
    std::unique_ptr<CSystemTray> m_pSystemTray;
    ITrayIcon* m_pTray = nullptr;
    ICaptureEngine* m_pCaptureEngine = nullptr;
    IImagePrinter* m_pPrinter = nullptr;
    bool m_bCloseToTray = false;
    bool m_bFromTrayMenu = false;
    bool m_bHiddenMinimised = false;
};
