// SPDX-License-Identifier: MIT
// The application object.
#include "app/TavixCaptureApp.h"

#include "app/CaptureShell.h"
#include "app/ClipboardImage.h"
#include "app/FrameSize.h"
#include "app/InstanceRequest.h"
#include "app/MDIClientWnd.h"
#include "app/MainFrame.h"
#include "app/MenuCaptions.h"
#include "app/ShellServices.h"
#include "app/StatusPanes.h"
#include "app/TerminationSignals.h"
#include "app/TrayPolicy.h"
#include "capture/engine/CaptureActions.h"
#include "capture/engine/CaptureDocManager.h"
#include "dialogs/AboutDlg.h"
#include "dialogs/ImageDialogs.h"
#include "dialogs/ImageFileDialogs.h"
#include "dialogs/NewImageDlg.h"
#include "dialogs/PrintSetupEx.h"
#include "document/TavixCaptureDoc.h"
#include "framework/CmdUI.h"
#include "framework/CommandIds.h"
#include "framework/DocManager.h"
#include "framework/GuardCommand.h"
#include "framework/MessageBoxes.h"
#include "framework/RegistryProfile.h"
#include "framework/StringTable.h"
#include "framework/ui/CommandDispatcher.h"
#include "framework/ui/MultiDocTemplate.h"
#include "framework/ui/QtServices.h"
#include "framework/ui/ShellOpener.h"
#include "image/DisplayBitmap.h"
#include "image/PixelKernels.h"
#include "image/Trace.h"
#include "platform/ProgramPaths.h"
#include "views/ChildFrame.h"
#include "views/ImagePrinter.h"
#include "views/TavixCaptureView.h"
#include "views/Timing.h"

#include <QApplication>
#include <QCoreApplication>
#include <QDialog>
#include <QDir>
#include <QElapsedTimer>
#include <QGuiApplication>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QScreen>
#include <QSessionManager>
#include <QStatusBar>
#include <QThread>
#include <QTimer>
#include <QUrl>
#include <QWindow>

#include <algorithm>

const CCommandMap& CTavixCaptureApp::ThisCommandMap() {
    using A = CTavixCaptureApp;
    static const CCommandMap s_map = TCommandMapBuilder<A>(&CWinApp::ThisCommandMap())
                                         .On(ID_FILE_NEW, &A::OnFileNewImage)
                                         .On(ID_APP_ABOUT, &A::OnAppAbout)
                                         .On(ID_FILE_PRINT_SETUP, &A::OnFilePrintSetup)
                                         .On(ID_HELP_FINDER, &A::OnHelpFinder)
                                         .Build();
    return s_map;
}

CTavixCaptureApp::CTavixCaptureApp()
    : m_locations(platform::HiveLocations::FromEnvironment()),
      m_pDialogs(std::make_unique<CImageDialogs>(Ui(), m_settings,
                                                 [this](int nTopic) { ShowHelpTopic(nTopic); })),
      m_pShellOpener(std::make_unique<CShellOpener>(Ui())) {}

CTavixCaptureApp::~CTavixCaptureApp() {
    // Documents close (without asking) while their windows and the services still exist.
    CloseAllDocuments(true);
    SetMainWnd(nullptr);
    // The status services are the frame's panes.
    Ui().SetStatusText(nullptr);
    Ui().SetProgress(nullptr);
    if (m_pMainFrame)
        m_pMainFrame->SetCaptureEngine(nullptr);
    m_pCaptureShell.reset();
    m_pMainFrame.reset();
}

void CTavixCaptureApp::SetHiveLocations(const platform::HiveLocations& locations) {
    m_locations = locations;
}

void CTavixCaptureApp::InstallServices() {
    m_pMessageBoxes = std::make_unique<CQtMessageBoxes>();
    m_pWaitCursor = std::make_unique<CQtWaitCursor>();
    m_pFileDialogs = std::make_unique<CImageFileDialogs>(Ui(), m_settings, m_loader);
    Ui().SetMessageBoxes(m_pMessageBoxes.get());
    Ui().SetWaitCursor(m_pWaitCursor.get());
    Ui().SetFileDialogs(m_pFileDialogs.get());
}

bool CTavixCaptureApp::InitInstance(const QStringList& arguments) {
    QElapsedTimer timer;
    timer.start();
    InstallServices();
    // The default output folder, before the settings are read: a configured folder that is
    // missing is not created, so that the automatic save says so instead of filling a folder
    // the user does not look in.
    std::string strError;
    if (!platform::EnsureOutputDirectory(m_settings.DefaultAutoSavePath(), &strError))
        img::Trace("start-up: output directory: %s\n", strError.c_str());
    // 1-2: the recent-file list and the settings record.
    m_pProfile = std::make_unique<CRegistryProfile>(m_locations);
    SetProfile(m_pProfile.get());
    LoadStdProfileSettings(kRecentFileCount);
    m_settings.Load(m_locations);
    // Automatic saves (capture output) take the automatic file name.
    SetDocManager(std::make_unique<CCaptureDocManager>(m_settings, m_locations, Ui(), this));
    // 4: the main frame, which the template's image windows go into; 3: the one template.
    m_pMainFrame = std::make_unique<CMainFrame>(*this);
    m_pMainFrame->Tray().SetTrayIcon(m_pTray);
    CMainFrame& frame = *m_pMainFrame;
    // 6-7: files named on the command line (a file manager's "Open With") open in image windows,
    // in the running instance when there is one. Asked before the frame is built, so that a
    // second start shows nothing of its own (no tray icon, no hotkeys taken) on its way out; the
    // frame is only kept for later starts to bring forward.
    const QStringList files = instance::FilesFromArguments(arguments, QDir::currentPath());
    if (HandOverToRunningInstance(files))
        return false;
    auto pTemplate = std::make_unique<CMultiDocTemplate>(
        frame, IDR_IMAGETYPE,
        [this](CUiServices& ui) { return std::make_unique<CTavixCaptureDoc>(*this, ui); },
        [] { return new CChildFrame(); },
        [&frame] {
            auto* pView = new CTavixCaptureView(frame);
            return std::pair<QWidget*, CView*>(pView, pView);
        });
    m_pTemplate = pTemplate.get();
    AddDocTemplate(std::move(pTemplate));
    // 5: menus and the rest of the frame.
    m_pImagePrinter = std::make_unique<CImagePrinter>(m_settings, Ui());
    frame.SetImagePrinter(m_pImagePrinter.get());
    if (!frame.Create())
        return false;
    SetMainWnd(&frame);
    // Captures need the X server itself or a Wayland desktop's portal; other platforms
    // (offscreen tests) go without.
    m_pCaptureShell = std::make_unique<CCaptureShell>(*this, frame);
    const QString strPlatform = QGuiApplication::platformName();
    if (strPlatform == QLatin1String("xcb") || strPlatform == QLatin1String("wayland")) {
        m_bCapturesReady = m_pCaptureShell->Initialize();
        if (m_bCapturesReady)
            frame.SetCaptureEngine(m_pCaptureShell.get());
        else
            img::Trace("start-up: no X connection for captures");
    }
    Ui().SetStatusText(&frame.Panes());
    Ui().SetProgress(&frame.Panes());
    ConnectSessionEnd();
    // 8-10; a start asked to open files shows them rather than starting hidden.
    m_settings.ApplyStartupCounterReset();
    ShowMainFrame(files.isEmpty());
    if (!files.isEmpty())
        QTimer::singleShot(0, m_pMainFrame.get(), [this, files] { OpenFiles(files); });
    if (!m_strStartupNote.isEmpty())
        m_pMainFrame->SetPaneText(IImageViewHost::PaneMessage, m_strStartupNote);
    if (!m_strStartupCapture.isEmpty())
        StartCaptureWhenShown(0);
    m_bRunning = true;
    views::TimingTrace("start-up (InitInstance) to main window shown: %.1f ms",
                       timer.nsecsElapsed() / 1e6);
    return true;
}

bool CTavixCaptureApp::HandOverToRunningInstance(const QStringList& files) {
    if (m_pInstanceGuard == nullptr)
        return false;
    m_pInstanceGuard->SetFileOpener([this](const QStringList& more) { OpenFiles(more); });
    m_pInstanceGuard->SetCaptureStarter(
        [this](const QString& strAction) { StartNamedCapture(strAction); });
    m_role = m_pInstanceGuard->Claim(*m_pMainFrame, files, m_strStartupCapture);
    return m_role != IInstanceGuard::ERole::First;
}

void CTavixCaptureApp::StartNamedCapture(const QString& strAction) {
    const std::optional<int> nAction = capture::ActionForName(strAction.toStdString());
    if (!nAction || m_pCaptureShell == nullptr)
        return;
    if (!m_bCapturesReady) {
        m_pMainFrame->SetPaneText(IImageViewHost::PaneMessage,
                                  QStringLiteral("No captures on this display."));
        return;
    }
    // A capture asked for while another runs waits for nobody, as a hotkey pressed then.
    m_pCaptureShell->Engine().StartFromShortcut(*nAction);
}

void CTavixCaptureApp::StartCaptureWhenShown(int nAttempt) {
    // A window hidden before the compositor has shown it once can stay on screen under XWayland
    // and end up in the capture: the capture waits for the window to be on screen first.
    const QWindow* pWindow = m_pMainFrame->windowHandle();
    const bool bShown = pWindow == nullptr || !m_pMainFrame->isVisible() || pWindow->isExposed();
    if (bShown || nAttempt >= kStartupCaptureAttempts) {
        StartNamedCapture(m_strStartupCapture);
        return;
    }
    QTimer::singleShot(kStartupCapturePollMs, m_pMainFrame.get(),
                       [this, nAttempt] { StartCaptureWhenShown(nAttempt + 1); });
}

void CTavixCaptureApp::ShowMainFrame(bool bMayStartHidden) {
    // Left to Qt, the window takes two thirds of the screen in device pixels: at a scale of 2
    // that cuts off the status panes and folds the toolbar.
    if (const QScreen* pScreen = m_pMainFrame->screen())
        m_pMainFrame->resize(
            StartupFrameSize(pScreen->availableGeometry(), m_pMainFrame->sizeHint()));
    m_pMainFrame->show();
    if (!bMayStartHidden || (m_settings.m_dwOptionsA & platform::options::kStartHidden) == 0)
        return;
    // A hidden start lives in the tray; without one the program starts minimised instead, so
    // that it can still be reached. Minimised once the window manager has the window: a window
    // mapped minimised from the start is shown normally by some.
    QTimer::singleShot(kHiddenStartDelayMs, m_pMainFrame.get(), [this] { FinishHiddenStart(0); });
}

void CTavixCaptureApp::OpenFiles(const QStringList& files) {
    // Requests that come while an open is under way (its error box showing, say) join its queue:
    // opening them from inside that box's event loop would stack one box on another without end.
    m_openQueue.append(files);
    if (m_bOpeningFiles)
        return;
    m_bOpeningFiles = true;
    // Each file on its own: one that fails (and says so) does not keep the others closed.
    while (!m_openQueue.isEmpty() && !m_bEndRequested) {
        const QString strPath = m_openQueue.takeFirst();
        GuardCommand(Ui(), [&] { OpenDocumentFile(strPath); });
    }
    m_openQueue.clear();
    m_bOpeningFiles = false;
}

void CTavixCaptureApp::FinishHiddenStart(int nAttempt) {
    // Hiding a window the window manager is still taking on leaves it in a state from which it
    // does not come back: wait (a little) until it is on the screen.
    QWindow* pWindow = m_pMainFrame->windowHandle();
    if (pWindow != nullptr && !pWindow->isExposed() && nAttempt < 20) {
        QTimer::singleShot(50, m_pMainFrame.get(),
                           [this, nAttempt] { FinishHiddenStart(nAttempt + 1); });
        return;
    }
    m_pMainFrame->repaint();
    m_pMainFrame->Tray().HideAtStart(m_pMainFrame->Captions().HotkeyText(platform::Desktop));
}

void CTavixCaptureApp::ExitInstance() {
    SaveSettingsOnce();
    if ((m_settings.m_dwOptionsA & platform::options::kClearRecentAtExit) != 0)
        ClearRecentFileList();
}

void CTavixCaptureApp::SaveSettingsOnce() {
    if (m_bSettingsSaved)
        return;
    m_bSettingsSaved = true;
    // The hook library holds the hotkey table while the program runs.
    if (const std::uint16_t* pHotkeys = m_pCaptureShell ? m_pCaptureShell->HotkeyTable() : nullptr)
        std::copy(pHotkeys, pHotkeys + platform::kHotkeyTableSize, m_settings.Hotkeys().begin());
    std::string strError;
    if (!m_settings.Save(m_locations, &strError))
        img::Trace("exit: settings not written: %s\n", strError.c_str());
}

void CTavixCaptureApp::SaveOnAbruptExit() {
    SaveSettingsOnce();
    if (m_pMainFrame && m_bRunning)
        m_pMainFrame->Client().SaveSettings();
}

void CTavixCaptureApp::ConnectSessionEnd() {
    if (m_pTerminationSignals != nullptr)
        QObject::connect(m_pTerminationSignals, &CTerminationSignals::terminationRequested,
                         m_pMainFrame.get(), [this] { RequestEnd(); });
    // Qt 6 does nothing of its own here: without this the session ends without the questions
    // about modified images.
    QObject::connect(qApp, &QGuiApplication::commitDataRequest, m_pMainFrame.get(),
                     [this](QSessionManager& manager) {
                         if (!CommitSessionData(manager.allowsInteraction()))
                             manager.cancel();
                         manager.release();
                     });
}

void CTavixCaptureApp::RequestEnd() {
    if (m_bEndRequested || m_pMainFrame == nullptr) {
        // Every event loop returns, an open question with its dismiss answer (the documents are
        // closed after the exit path, by the destructor, not under a question about one).
        QCoreApplication::exit(0);
        return;
    }
    m_bEndRequested = true;
    EndFromOutermostLoop();
}

void CTavixCaptureApp::EndFromOutermostLoop() {
    // A closed document is deleted by the event loop it was closed in. Run from inside a message
    // box or dialog (an open that failed, an operation's settings), the exit path would close a
    // document whose code still waits for that box to return: the boxes are dismissed first, and
    // the exit path runs once every such loop has returned.
    if (QThread::currentThread()->loopLevel() > 1) {
        DismissModalWindows();
        QTimer::singleShot(0, m_pMainFrame.get(), [this] { EndFromOutermostLoop(); });
        return;
    }
    OnAppExit();
}

void CTavixCaptureApp::DismissModalWindows() {
    while (QWidget* pPopup = QApplication::activePopupWidget())
        pPopup->close();
    // Each dismissed dialog hides at once, so the next one down is found the next time round.
    while (QWidget* pModal = QApplication::activeModalWidget()) {
        if (auto* pDialog = qobject_cast<QDialog*>(pModal))
            pDialog->reject();
        else
            pModal->close();
        if (pModal->isVisible())
            break; // it would not go; the loop is left to the second signal
    }
}

bool CTavixCaptureApp::CommitSessionData(bool bMayAsk) {
    if (bMayAsk && !SaveAllModified())
        return false;
    m_givenUpImages.clear();
    for (CDocument* pDoc : DocManager().Documents())
        if (pDoc->IsModified())
            m_givenUpImages.emplace_back(pDoc);
    return true;
}

bool CTavixCaptureApp::OnlyGivenUpImagesModified() {
    const auto isGivenUp = [this](CDocument* pDoc) {
        return std::any_of(m_givenUpImages.begin(), m_givenUpImages.end(),
                           [pDoc](const QPointer<CDocument>& p) { return p.data() == pDoc; });
    };
    const auto& docs = DocManager().Documents();
    return std::all_of(docs.begin(), docs.end(),
                       [&](CDocument* pDoc) { return !pDoc->IsModified() || isGivenUp(pDoc); });
}

void CTavixCaptureApp::OnRecentFileListChanged() {
    // An open File menu shows the list as it is now.
    if (m_pMainFrame) {
        for (QMenu* pMenu : m_pMainFrame->menuBar()->findChildren<QMenu*>()) {
            if (pMenu->isVisible())
                m_pMainFrame->Dispatcher().UpdateMenu(pMenu);
        }
    }
}

void CTavixCaptureApp::PostDocumentChange() {
    if (m_pMainFrame)
        QTimer::singleShot(0, m_pMainFrame.get(), &CMainFrame::OnUpdateTabBar);
}

bool CTavixCaptureApp::CopyImageToClipboard(const CImageBitmap& image) {
    return ::CopyImageToClipboard(image);
}

IImageDialogs& CTavixCaptureApp::Dialogs() {
    return *m_pDialogs;
}

bool CTavixCaptureApp::SaveAllModified() {
    if ((m_settings.m_dwOptionsA & platform::options::kAskBeforeDiscard) == 0)
        return true;
    if (OnlyGivenUpImagesModified())
        return true;
    int nModified = 0;
    for (CDocument* pDoc : DocManager().Documents())
        nModified += pDoc->IsModified() ? 1 : 0;
    if (nModified > 1) {
        const EMsgResult answer =
            Ui().AppMessageBox(FormatString1(IDS_ASK_SAVE_IMAGES, QString::number(nModified)),
                               EMsgButtons::YesNoCancel, EMsgIcon::Question);
        if (answer == EMsgResult::Cancel)
            return false;
        if (answer == EMsgResult::No)
            return true;
    }
    return CWinApp::SaveAllModified();
}

void CTavixCaptureApp::OnFileNewImage() {
    CNewImageDlg dialog(Ui(), QApplication::activeWindow());
    QObject::connect(&dialog, &CNewImageDlg::helpRequested, &dialog, [this] { ShowHelpTopic(0); });
    if (dialog.exec() != QDialog::Accepted)
        return;
    auto pImage = std::make_unique<CDisplayBitmap>();
    pImage->Create(dialog.WidthPixels(), dialog.HeightPixels(), 32);
    img::FillPixelBytes(*pImage, 0xFF);
    if (m_pTemplate != nullptr)
        CTavixCaptureDoc::OpenNew(*m_pTemplate, *pImage, CTavixCaptureDoc::ENewImage::Image);
}

void CTavixCaptureApp::OnAppAbout() {
    CAboutDlg dialog(Ui(), *m_pShellOpener, QStringLiteral(QUORVI_VERSION),
                     QApplication::activeWindow());
    dialog.exec();
}

void CTavixCaptureApp::OnFilePrintSetup() {
    const CTavixCaptureView* pView = m_pMainFrame ? m_pMainFrame->ActiveImageView() : nullptr;
    CPrintSetupEx dialog(Ui(), m_pImagePrinter->Printer(), m_settings,
                         CPrintSetupEx::SystemPrinters(),
                         pView != nullptr ? pView->Image() : nullptr, QApplication::activeWindow());
    QObject::connect(&dialog, &CPrintSetupEx::layoutHelpRequested, &dialog,
                     [this] { ShowHelpTopic(platform::HelpPrintLayout); });
    dialog.exec();
}

void CTavixCaptureApp::OnHelpFinder() {
    ShowHelpTopic(0);
}

void CTavixCaptureApp::ShowHelpTopic(int nTopic) {
    const platform::HelpPage page = platform::HelpTopicPage(m_settings.ProgramPath(), nTopic);
    m_pShellOpener->Open(QUrl(QString::fromStdString(page.Url())));
}
