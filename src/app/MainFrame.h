// SPDX-License-Identifier: MIT
// CMainFrame: the one top-level window: menus, toolbar 128, the MDI area with the image windows
// and the frame commands. Its helpers each keep one concern: the status-bar panes and progress
// (CStatusPanes), hiding into the notification area (CTrayPolicy) and the capture items' hotkey
// captions (CMenuCaptions).
#pragma once

#include "framework/ui/MDIFrameWnd.h"
#include "views/ImageViewHost.h"

#include <QBasicTimer>

#include <memory>

class CCmdUI;
class CImageBitmap;
class CMDIClientWnd;
class CMenuCaptions;
class CStatusPanes;
class CTavixCaptureApp;
class CTavixCaptureView;
class CTrayPolicy;
class ICaptureEngine;

class CMainFrame : public CMDIFrameWnd, public IImageViewHost {
    Q_OBJECT
    QUORVI_DECLARE_COMMAND_MAP()

public:
    // The timer that makes the active view's selection outline blink.
    static constexpr int kRefreshInterval = 300; // ms

    // Why the window is asked to close: the title-bar Close hides the program (into the tray,
    // or minimised without one); Exit ends it after the save questions.
    enum class ECloseReason { TitleBar, Exit };

    explicit CMainFrame(CTavixCaptureApp& app);
    ~CMainFrame() override;

    // The creation steps: menus, toolbar, status bar, captions, tray icon, timer. False when a
    // required step failed (the program then ends).
    bool Create();

    // IImageViewHost
    void SetPaneText(int nPane, const QString& strText) override;
    CUiServices& Ui() const override { return CMDIFrameWnd::Ui(); }
    QColor ViewBackgroundColor() const override;
    QColor ImageBackgroundColor() const override;
    bool MarqueeInverted() const override { return m_bMarqueeInverted; }
    bool ClipboardHasImage() const override;
    std::unique_ptr<CImageBitmap> ImageFromClipboard() override;
    void TrackViewMenu(QPoint ptGlobal) override;
    IImagePrinter* ImagePrinter() override { return m_pPrinter; }

    CStatusPanes& Panes() const noexcept { return *m_pPanes; }
    CTrayPolicy& Tray() const noexcept { return *m_pTray; }
    CMenuCaptions& Captions() const noexcept { return *m_pCaptions; }
    // The workspace: file tab bar, window commands, full screen, background (after Create).
    CMDIClientWnd& Client() const noexcept { return *m_pClient; }

    // Services that arrive after the frame (non-owning; null: none).
    void SetCaptureEngine(ICaptureEngine* pEngine) noexcept;
    void SetImagePrinter(IImagePrinter* pPrinter) noexcept { m_pPrinter = pPrinter; }

    // The active image view, or null.
    CTavixCaptureView* ActiveImageView() const;
    void Close(ECloseReason reason);
    // The file tab bar follows the open documents (posted by the documents).
    void OnUpdateTabBar();
    // Menus and title follow the image windows; without an active one the panes are cleared.
    void OnChildFramesChanged() override;
    void OnChildFrameCreated(CMDIChildWnd* pChild) override;
    void OnChildFrameDestroying(CMDIChildWnd* pChild) override;
    // The workspace has the first say on every command.
    bool OnCmdMsg(unsigned nID, ECmdKind kind, CCmdUI* pCmdUI) override;

protected:
    void OnInitMenuPopup(QMenu* pMenu) override;
    void closeEvent(QCloseEvent* pEvent) override;
    void changeEvent(QEvent* pEvent) override;
    void showEvent(QShowEvent* pEvent) override;
    void timerEvent(QTimerEvent* pEvent) override;

private:
    void FitMessagePane();
    // Command handlers.
    void OnCaptureCommand(unsigned nID);
    void OnUpdateCaptureCommand(CCmdUI& cmdUI);
    void OnCaptureOptions();
    void OnExploreOutputDirectory();
    void OnPasteAsNewImage();
    void OnUpdatePasteAsNewImage(CCmdUI& cmdUI);
    void OnCloseAll();
    void OnShowMainWindow();
    void OnZoomPreset(unsigned nID);
    void OnUpdateZoomPreset(CCmdUI& cmdUI);
    void OnHomePage();
    void OnHelp();

    CTavixCaptureApp& m_app;
    std::unique_ptr<CStatusPanes> m_pPanes;
    std::unique_ptr<CTrayPolicy> m_pTray;
    std::unique_ptr<CMenuCaptions> m_pCaptions;
    std::unique_ptr<CMDIClientWnd> m_pClient;
    QBasicTimer m_refreshTimer;
    // The marquee's look, one for every view: flipped on each tick of the refresh timer.
    bool m_bMarqueeInverted = false;
    ICaptureEngine* m_pCaptureEngine = nullptr;
    IImagePrinter* m_pPrinter = nullptr;
};
