// SPDX-License-Identifier: MIT
// The main frame.
#include "app/MainFrame.h"

#include "app/ClipboardImage.h"
#include "app/ShellServices.h"
#include "app/SystemTray.h"
#include "app/TavixCaptureApp.h"
#include "framework/CmdUI.h"
#include "framework/CommandIds.h"
#include "framework/DocManager.h"
#include "framework/GuardCommand.h"
#include "framework/StringTable.h"
#include "framework/ui/CommandDispatcher.h"
#include "framework/ui/CommandIcons.h"
#include "framework/ui/QtServices.h"
#include "platform/AppSettings.h"
#include "views/TavixCaptureView.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QCloseEvent>
#include <QDesktopServices>
#include <QLabel>
#include <QMenu>
#include <QMimeData>
#include <QStatusBar>
#include <QTimer>
#include <QTimerEvent>
#include <QToolBar>
#include <QUrl>

namespace {

// The widest text pane nPane (1 to 3) shows, so that the pane can grow to fit it.
QString WidestPaneText(int nPane) {
    switch (nPane) {
    case 1:
        return CTavixCaptureView::MousePositionText(QPoint(-32768, -32768));
    case 2:
        return CTavixCaptureView::ColorText(32);
    default:
        break;
    }
    return CTavixCaptureView::ImageSizeText(QSize(32768, 32768));
}

bool IsZoomPreset(unsigned nID) {
    return nID >= ID_VIEW_ZOOM_25 && nID <= ID_VIEW_ZOOM_400;
}

int ZoomPercent(unsigned nID) {
    return CZoomView::kPresetLevels[nID - ID_VIEW_ZOOM_25];
}

} // namespace

const CCommandMap& CMainFrame::ThisCommandMap() {
    using F = CMainFrame;
    static const CCommandMap s_map =
        TCommandMapBuilder<F>(&CMDIFrameWnd::ThisCommandMap())
            .OnRange(ID_CAPTURE_ACTIVE_WINDOW, ID_CAPTURE_ELLIPSE, &F::OnCaptureCommand)
            .OnUpdateRange(ID_CAPTURE_ACTIVE_WINDOW, ID_CAPTURE_ELLIPSE, &F::OnUpdateCaptureCommand)
            .OnRange(ID_CAPTURE_POLYGON, ID_CAPTURE_POLYGON, &F::OnCaptureCommand)
            .OnUpdate(ID_CAPTURE_POLYGON, &F::OnUpdateCaptureCommand)
            .OnRange(ID_CAPTURE_RECTANGLE, ID_CAPTURE_RECTANGLE, &F::OnCaptureCommand)
            .OnUpdate(ID_CAPTURE_RECTANGLE, &F::OnUpdateCaptureCommand)
            .OnRange(ID_CAPTURE_REPEAT_LAST, ID_CAPTURE_REPEAT_LAST, &F::OnCaptureCommand)
            .OnUpdate(ID_CAPTURE_REPEAT_LAST, &F::OnUpdateCaptureCommand)
            .OnRange(ID_CAPTURE_CLIENT, ID_CAPTURE_SINGLE_WINDOW, &F::OnCaptureCommand)
            .OnUpdateRange(ID_CAPTURE_CLIENT, ID_CAPTURE_SINGLE_WINDOW, &F::OnUpdateCaptureCommand)
            .OnRange(ID_CAPTURE_DEFAULT, ID_CAPTURE_DEFAULT, &F::OnCaptureCommand)
            .OnUpdate(ID_CAPTURE_DEFAULT, &F::OnUpdateCaptureCommand)
            .On(ID_FILE_EXPLORE_OUTPUT, &F::OnExploreOutputDirectory)
            .On(ID_EDIT_PASTE_AS_NEW, &F::OnPasteAsNewImage)
            .OnUpdate(ID_EDIT_PASTE_AS_NEW, &F::OnUpdatePasteAsNewImage)
            .On(ID_FILE_CLOSE_ALL, &F::OnCloseAll)
            .On(ID_SHOW_MAIN_WINDOW, &F::OnShowMainWindow)
            .OnRange(ID_VIEW_ZOOM_25, ID_VIEW_ZOOM_400, &F::OnZoomPreset)
            .OnUpdateRange(ID_VIEW_ZOOM_25, ID_VIEW_ZOOM_400, &F::OnUpdateZoomPreset)
            .On(ID_HELP_HOME_PAGE, &F::OnHomePage)
            .On(ID_HELP_FINDER, &F::OnHelp)
            .On(ID_HELP, &F::OnHelp)
            .On(ID_CONTEXT_HELP, &F::OnHelp)
            .OnUpdateRange(ID_IMAGE_RESIZE, ID_IMAGE_ROTATE_ANY, &F::OnUpdateNeedsDialog)
            .OnUpdateRange(ID_IMAGE_SCALE, ID_IMAGE_STRETCH, &F::OnUpdateNeedsDialog)
            .OnUpdateRange(ID_IMAGE_BRIGHTNESS, ID_IMAGE_CONTRAST, &F::OnUpdateNeedsDialog)
            .OnUpdate(ID_IMAGE_INTENSITY, &F::OnUpdateNeedsDialog)
            .OnUpdate(ID_CAPTURE_OPTIONS, &F::OnUpdateNeedsDialog)
            .OnUpdate(ID_FILE_PRINT_SETUP, &F::OnUpdateNeedsDialog)
            .Build();
    return s_map;
}

CMainFrame::CMainFrame(CTavixCaptureApp& app) : m_app(app) {
    setObjectName(QStringLiteral("QuorviMainFrameClass"));
    const QIcon icon = CCommandIcons::Get().Icon(IDR_MAINFRAME);
    if (!icon.isNull())
        setWindowIcon(icon);
}

CMainFrame::~CMainFrame() {
    // The icon leaves the notification area before the window goes.
    m_pTray = nullptr;
    m_pSystemTray.reset();
}

bool CMainFrame::Create() {
    LoadMenus(IDR_MAINFRAME, IDR_IMAGETYPE);
    QToolBar* pToolBar = LoadToolBar(IDR_MAINFRAME, QStringLiteral("Standard"));
    if (pToolBar == nullptr || pToolBar->actions().isEmpty())
        return false;
    pToolBar->setMovable(true);
    pToolBar->setFloatable(true);
    pToolBar->setAllowedAreas(Qt::AllToolBarAreas);
    LoadAccelerators(IDR_MAINFRAME);
    CreateStatusBar();
    m_pCaptions = std::make_unique<CCaptionMap>(IDR_TRAY_MENU);
    // The capture items have no text of their own; they have their captions from the start.
    for (const QList<QMenu*>* pMenus : {&DefaultMenus(), &DocumentMenus()}) {
        for (QMenu* pMenu : *pMenus)
            ApplyHotkeyCaptions(pMenu);
    }
    // The tray icon. Where the desktop has none the program still starts: Close, Minimize and a
    // hidden start then minimise instead of hiding (CanHideToTray).
    if (m_pTray == nullptr) {
        m_pSystemTray = std::make_unique<CSystemTray>(*this);
        m_pTray = m_pSystemTray.get();
    }
    connect(&Dispatcher(), &CCommandDispatcher::commandExecuted, this, [this](unsigned nID) {
        if (nID != ID_CAPTURE_ACTIVE_WINDOW && nID != ID_CAPTURE_CLIENT)
            m_bFromTrayMenu = false;
    });
    m_refreshTimer.start(kRefreshInterval, Qt::CoarseTimer, this);
    return true;
}

void CMainFrame::CreateStatusBar() {
    QStatusBar* pBar = statusBar();
    for (int i = 0; i < 4; ++i) {
        m_panes[i] = new QLabel(pBar);
        m_panes[i]->setObjectName(QStringLiteral("pane%1").arg(i));
        m_panes[i]->setTextFormat(Qt::PlainText);
    }
    m_panes[0]->setText(LoadString(IDS_IDLE_MESSAGE));
    m_panes[0]->setMinimumWidth(1);
    pBar->addWidget(m_panes[0], 1);
    const QFontMetrics metrics(m_panes[1]->font());
    for (int i = 1; i < 4; ++i) {
        const int nTextWidth = metrics.horizontalAdvance(WidestPaneText(i)) + 8;
        m_panes[i]->setFixedWidth(std::max(kPaneWidths[i - 1], nTextWidth));
        m_panes[i]->setFrameShape(QFrame::StyledPanel);
        m_panes[i]->setFrameShadow(QFrame::Sunken);
        pBar->addPermanentWidget(m_panes[i]);
    }
    m_pProgress = std::make_unique<CStatusBarProgress>(pBar, m_panes[0]);
    // Menu and toolbar prompts show in pane 0 and leave it as it was.
    connect(pBar, &QStatusBar::messageChanged, this, [this](const QString& strMessage) {
        m_panes[0]->setVisible(strMessage.isEmpty() && !IsProgressShowing());
    });
}

QLabel* CMainFrame::Pane(int nPane) const {
    return nPane >= 0 && nPane < 4 ? m_panes[nPane] : nullptr;
}

void CMainFrame::SetPaneText(int nPane, const QString& strText) {
    if (QLabel* pPane = Pane(nPane))
        pPane->setText(strText);
}

QString CMainFrame::PaneText(int nPane) const {
    QLabel* pPane = Pane(nPane);
    return pPane != nullptr ? pPane->text() : QString();
}

QColor CMainFrame::ViewBackgroundColor() const {
    const std::uint32_t cr = m_app.Settings().m_crViewBackground;
    return QColor(int(cr & 0xFF), int((cr >> 8) & 0xFF), int((cr >> 16) & 0xFF));
}

void CMainFrame::SetProgress(double dFraction) {
    if (!m_pProgress)
        return;
    m_pProgress->SetProgress(dFraction);
    if (m_pProgress->IsShowing())
        m_progressEndTimer.start(0, this);
}

bool CMainFrame::IsProgressShowing() const {
    return m_pProgress && m_pProgress->IsShowing();
}

bool CMainFrame::CanHideToTray() const {
    return m_pTray != nullptr && m_pTray->IsAvailable();
}

const CCaptionMap& CMainFrame::Captions() const {
    static const CCaptionMap s_empty(0);
    return m_pCaptions ? *m_pCaptions : s_empty;
}

const std::uint16_t* CMainFrame::CurrentHotkeyTable() const {
    if (m_pCaptureEngine != nullptr && m_pCaptureEngine->HotkeyTable() != nullptr)
        return m_pCaptureEngine->HotkeyTable();
    return m_app.Settings().Hotkeys().data();
}

void CMainFrame::ApplyHotkeyCaptions(QMenu* pMenu) const {
    const std::uint16_t* pHotkeys = CurrentHotkeyTable();
    for (QAction* pAction : pMenu->actions()) {
        const QString strText =
            Captions().MenuText(CCommandDispatcher::ActionId(pAction), pHotkeys, m_keyNames);
        if (!strText.isEmpty())
            pAction->setText(strText);
    }
}

void CMainFrame::OnInitMenuPopup(QMenu* pMenu) {
    ApplyHotkeyCaptions(pMenu);
}

CTavixCaptureView* CMainFrame::ActiveImageView() const {
    return dynamic_cast<CTavixCaptureView*>(GetActiveView());
}

void CMainFrame::OnSysCommandClose() {
    m_bCloseToTray = true;
    close();
}

void CMainFrame::closeEvent(QCloseEvent* pEvent) {
    // The window system's Close (the title-bar button) hides the program; only Exit ends it.
    if (pEvent->spontaneous())
        m_bCloseToTray = true;
    CMDIFrameWnd::closeEvent(pEvent);
    if (pEvent->isAccepted())
        QTimer::singleShot(0, qApp, &QCoreApplication::quit);
}

void CMainFrame::HideToTray() {
    if (!CanHideToTray()) {
        showMinimized();
        return;
    }
    // Hidden in the normal state and remembered as minimised: asking the window manager to
    // iconify a window that is being withdrawn at the same time left it unable to show again.
    hide();
    m_bHiddenMinimised = true;
}

bool CMainFrame::IsMinimisedOrHiddenMinimised() const {
    return isMinimized() || (isHidden() && m_bHiddenMinimised);
}

void CMainFrame::showEvent(QShowEvent* pEvent) {
    // The window manager may still report the iconified window mapped after it was hidden
    // into the tray: only a window that really shows ends the hidden-minimised state.
    if (isVisible())
        m_bHiddenMinimised = false;
    CMDIFrameWnd::showEvent(pEvent);
}

void CMainFrame::changeEvent(QEvent* pEvent) {
    CMDIFrameWnd::changeEvent(pEvent);
    if (pEvent->type() == QEvent::WindowStateChange && isMinimized())
        QTimer::singleShot(0, this, &CMainFrame::OnMinimized);
}

void CMainFrame::OnMinimized() {
    if (!isMinimized() || !isVisible())
        return;
    if ((m_app.Settings().m_dwOptionsA & platform::options::kMinimizeToTray) != 0 &&
        CanHideToTray()) {
        hide();
        m_bHiddenMinimised = true;
    }
}

void CMainFrame::timerEvent(QTimerEvent* pEvent) {
    if (pEvent->timerId() == m_progressEndTimer.timerId()) {
        m_progressEndTimer.stop();
        if (IsProgressShowing())
            m_pProgress->SetProgress(1.0);
        return;
    }
    if (pEvent->timerId() != m_refreshTimer.timerId()) {
        CMDIFrameWnd::timerEvent(pEvent);
        return;
    }
    if (CTavixCaptureView* pView = ActiveImageView())
        pView->RedrawMarquee();
}

void CMainFrame::OnUpdateTabBar() {
    // The file tab bar joins the window in a later step; the menus follow the open windows now.
    OnChildFramesChanged();
}

void CMainFrame::OnCaptureShown(CTavixCaptureView& view) {
    if (m_pCaptureEngine != nullptr)
        m_pCaptureEngine->OnCaptureViewShown(view);
}

void CMainFrame::OnCaptureCommand(unsigned nID) {
    if (m_pCaptureEngine != nullptr)
        m_pCaptureEngine->StartCapture(nID);
}

void CMainFrame::OnUpdateCaptureCommand(CCmdUI& cmdUI) {
    if (m_pCaptureEngine == nullptr) {
        cmdUI.Enable(false);
        return;
    }
    cmdUI.Enable(cmdUI.ID() != ID_CAPTURE_REPEAT_LAST || m_pCaptureEngine->CanRepeatLast());
}

void CMainFrame::OnExploreOutputDirectory() {
    const std::string& strPath = m_app.Settings().m_strAutoSavePath;
    if (!strPath.empty())
        QDesktopServices::openUrl(QUrl::fromLocalFile(QString::fromStdString(strPath)));
}

void CMainFrame::OnPasteAsNewImage() {
    std::unique_ptr<CImageBitmap> pImage = ImageFromClipboard();
    if (!pImage)
        return;
    m_app.SetPendingImage(std::move(pImage));
    if (m_app.DocManager().OnFileNew() == nullptr)
        return;
    m_app.PostDocumentChange();
    ActivateFrame();
}

void CMainFrame::OnUpdatePasteAsNewImage(CCmdUI& cmdUI) {
    cmdUI.Enable(ClipboardHasImage());
}

void CMainFrame::OnCloseAll() {
    if (m_app.SaveAllModified())
        m_app.CloseAllDocuments(false);
}

void CMainFrame::OnShowMainWindow() {
    showNormal();
    raise();
    activateWindow();
}

void CMainFrame::OnZoomPreset(unsigned nID) {
    if (CTavixCaptureView* pView = ActiveImageView())
        pView->SetPresetScale(ZoomPercent(nID) * 0.01);
}

void CMainFrame::OnUpdateZoomPreset(CCmdUI& cmdUI) {
    CTavixCaptureView* pView = ActiveImageView();
    cmdUI.Enable(pView != nullptr && IsZoomPreset(cmdUI.ID()));
    cmdUI.SetCheck(pView != nullptr && pView->IsPresetChecked(ZoomPercent(cmdUI.ID())) ? 1 : 0);
}

void CMainFrame::OnHomePage() {
    QDesktopServices::openUrl(QUrl(LoadString(IDS_HOME_PAGE_URL)));
}

void CMainFrame::OnHelp() {
    m_app.ShowHelpTopic(0);
}

void CMainFrame::OnUpdateNeedsDialog(CCmdUI& cmdUI) {
    // These commands open dialogs (operation parameters, options, print setup) that are not
    // part of the program yet; they stay visible and disabled.
    cmdUI.Enable(false);
}
