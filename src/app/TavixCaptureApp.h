// SPDX-License-Identifier: MIT
// CTavixCaptureApp: the application object: settings record, document template, main frame,
// start-up and exit, the close request, and the application commands (New image, About, Help).
// Start-up is the one place that knows every part: it builds them in order and hands each what
// it uses. It is also what the image documents ask for settings, the loader and the clipboard.
#pragma once

#include "app/ShellServices.h"
#include "codecs/PictureDecoder.h"
#include "document/DocumentHost.h"
#include "framework/WinApp.h"
#include "platform/AppSettings.h"

#include <QPointer>
#include <QString>
#include <QStringList>

#include <memory>
#include <vector>

class CCaptureShell;
class CDocument;
class CImageBitmap;
class CImagePrinter;
class CShellOpener;
class CMainFrame;
class CMultiDocTemplate;
class CQtMessageBoxes;
class CQtWaitCursor;
class CTerminationSignals;
class ITrayIcon;
class IProfile;

class CTavixCaptureApp : public CWinApp, public IDocumentHost {
    QUORVI_DECLARE_COMMAND_MAP()

public:
    // A hidden start shows the window, then minimises (and hides) it this much later.
    static constexpr int kHiddenStartDelayMs = 100;
    // A capture asked for on the command line waits this long at most for the main window to
    // be on screen (polls x interval).
    static constexpr int kStartupCapturePollMs = 20;
    static constexpr int kStartupCaptureAttempts = 100;

    CTavixCaptureApp();
    ~CTavixCaptureApp() override;

    // Start-up in order: settings, template, main frame, menus, command line (its files),
    // single-instance check (a running instance opens the files), counter reset, showing, then
    // the files opened. False ends the program.
    bool InitInstance(const QStringList& arguments);
    // Exit: settings written (the only time), then the recent-file list cleared when asked.
    void ExitInstance();
    // The settings part of the exit, once per run.
    void SaveSettingsOnce();
    // An exit that bypasses the event loop's return and every destructor (the X connection
    // lost): the settings and the workspace's own section.
    void SaveOnAbruptExit();

    // A termination signal or the session's end: the close request and then the exit path, as
    // Exit does. A second request while the first is still open (a question showing, or answered
    // Cancel) ends at once without asking; the settings are still written.
    void RequestEnd();
    // The session manager's question before the session ends: the close request, with its
    // questions only when bMayAsk. False (Cancel) asks the manager to keep the session. The images
    // given up here are not asked about again when the end comes.
    bool CommitSessionData(bool bMayAsk);

    CMainFrame* MainFrame() const noexcept { return m_pMainFrame.get(); }
    // InitInstance answered false because another instance runs and was brought forward.
    bool HandedOverToAnotherInstance() const noexcept {
        return m_role == IInstanceGuard::ERole::HandedOver;
    }
    // The capture engine of the main frame (null before the frame exists).
    CCaptureShell* CaptureShell() const noexcept { return m_pCaptureShell.get(); }
    CMultiDocTemplate* DocTemplate() const noexcept { return m_pTemplate; }

    // A note shown once in the status bar after start-up (the Wayland notice).
    void SetStartupNote(const QString& strNote) { m_strStartupNote = strNote; }
    const QString& StartupNote() const noexcept { return m_strStartupNote; }
    // A capture action's name (--capture NAME): started once the program runs, or handed to the
    // running instance.
    void SetStartupCapture(const QString& strAction) { m_strStartupCapture = strAction; }
    // Starts the capture action of that name as a hotkey would (a later start's --capture).
    void StartNamedCapture(const QString& strAction);
    // Non-owning; handed to the main frame when it is created. Null: no tray.
    void SetTrayIcon(ITrayIcon* pTray) noexcept { m_pTray = pTray; }
    // Non-owning; asked during start-up. Null: this is the only instance.
    void SetInstanceGuard(IInstanceGuard* pGuard) noexcept { m_pInstanceGuard = pGuard; }
    // Non-owning; connected during start-up to RequestEnd. Null: the signals' default actions.
    void SetTerminationSignals(CTerminationSignals* pSignals) noexcept {
        m_pTerminationSignals = pSignals;
    }
    // Where settings and the recent-file list live (tests point it at a temporary folder).
    void SetHiveLocations(const platform::HiveLocations& locations);
    const platform::HiveLocations& HiveLocations() const noexcept { return m_locations; }

    // Opens web pages, mail addresses and folders in the desktop's programs.
    CShellOpener& ShellOpener() noexcept { return *m_pShellOpener; }
    // Opens a help page: 1 to 7 the dialogs' topics, anything else the index.
    void ShowHelpTopic(int nTopic);

    // IDocumentHost
    platform::CAppSettings& Settings() override { return m_settings; }
    const platform::CAppSettings& Settings() const { return m_settings; }
    CPictureDecoder& PictureDecoder() override { return m_loader; }
    void PostDocumentChange() override;
    bool CopyImageToClipboard(const CImageBitmap& image) override;
    IImageDialogs& Dialogs() override;

    // The close request: one summary question when several images are modified, then the usual
    // question per image.
    bool SaveAllModified() override;

    // Command handlers.
    void OnFileNewImage();
    void OnAppAbout();
    void OnFilePrintSetup();
    void OnHelpFinder();

protected:
    void OnRecentFileListChanged() override;

private:
    void InstallServices();
    void ConnectSessionEnd();
    bool OnlyGivenUpImagesModified();
    bool HandOverToRunningInstance(const QStringList& files);
    void ShowMainFrame(bool bMayStartHidden);
    void StartCaptureWhenShown(int nAttempt);
    void OpenFiles(const QStringList& files);
    void EndFromOutermostLoop();
    static void DismissModalWindows();
    void FinishHiddenStart(int nAttempt);

    platform::CAppSettings m_settings;
    platform::HiveLocations m_locations;
    CPictureDecoder m_loader;
    std::unique_ptr<IProfile> m_pProfile;
    std::unique_ptr<CCaptureShell> m_pCaptureShell;
    std::unique_ptr<IImageDialogs> m_pDialogs;
    std::unique_ptr<CQtMessageBoxes> m_pMessageBoxes;
    std::unique_ptr<CQtWaitCursor> m_pWaitCursor;
    std::unique_ptr<IFileDialogs> m_pFileDialogs;
    std::unique_ptr<CShellOpener> m_pShellOpener;
    // The application's printer; the main frame lends it to the image views.
    std::unique_ptr<CImagePrinter> m_pImagePrinter;
    std::unique_ptr<CMainFrame> m_pMainFrame;
    CMultiDocTemplate* m_pTemplate = nullptr;
    IInstanceGuard* m_pInstanceGuard = nullptr;
    ITrayIcon* m_pTray = nullptr;
    CTerminationSignals* m_pTerminationSignals = nullptr;
    // Modified images the user (or a session manager that allows no questions) let go when the
    // session was about to end.
    std::vector<QPointer<CDocument>> m_givenUpImages;
    bool m_bEndRequested = false;
    // Files waiting for the open under way to finish (later starts' requests).
    QStringList m_openQueue;
    bool m_bOpeningFiles = false;
    QString m_strStartupNote;
    QString m_strStartupCapture;
    bool m_bCapturesReady = false;
    bool m_bSettingsSaved = false;
    bool m_bRunning = false; // start-up has finished: the frame and its workspace exist
    IInstanceGuard::ERole m_role = IInstanceGuard::ERole::First;
};
