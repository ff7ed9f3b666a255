// SPDX-License-Identifier: MIT
// The main frame.
#include "app/MainFrame.h"

#include "app/AppOptionsOwner.h"
#include "app/ClipboardImage.h"
#include "app/MDIClientWnd.h"
#include "app/MenuCaptions.h"
#include "app/ShellServices.h"
#include "app/StatusPanes.h"
#include "app/TavixCaptureApp.h"
#include "app/TrayPolicy.h"
#include "dialogs/options/OptionsDialog.h"
#include "document/TavixCaptureDoc.h"
#include "framework/CmdUI.h"
#include "framework/CommandIds.h"
#include "framework/DocManager.h"
#include "framework/GuardCommand.h"
#include "framework/StringTable.h"
#include "framework/ui/CommandDispatcher.h"
#include "framework/ui/CommandIcons.h"
#include "framework/ui/MenuBuilder.h"
#include "framework/ui/MultiDocTemplate.h"
#include "framework/ui/QtServices.h"
#include "framework/ui/ShellOpener.h"
#include "image/Pixel.h"
#include "platform/AppSettings.h"
#include "views/TavixCaptureView.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QCloseEvent>
#include <QDialog>
#include <QLabel>
#include <QMenu>
#include <QMimeData>
#include <QStatusBar>
#include <QTimer>
#include <QTimerEvent>
#include <QToolBar>
#include <QUrl>

namespace {

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
            .On(ID_CAPTURE_OPTIONS, &F::OnCaptureOptions)
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
            .Build();
    return s_map;
}

CMainFrame::CMainFrame(CTavixCaptureApp& app)
    : CMDIFrameWnd(app.Ui()), m_app(app),
      m_pPanes(std::make_unique<CStatusPanes>(*this, app.Ui(), LoadString(IDS_IDLE_MESSAGE))),
      m_pTray(std::make_unique<CTrayPolicy>(*this, app.Settings())),
      m_pCaptions(std::make_unique<CMenuCaptions>(app.Settings(), IDR_TRAY_MENU)) {
    setObjectName(QStringLiteral("QuorviMainFrameClass"));
    const QIcon icon = CCommandIcons::Get().Icon(IDR_MAINFRAME);
    if (!icon.isNull())
        setWindowIcon(icon);
}

CMainFrame::~CMainFrame() {
    // The icon leaves the notification area before the window goes.
    m_pTray->RemoveIcon();
    // The workspace writes its settings while its window is still whole.
    m_pClient.reset();
}

bool CMainFrame::Create() {
    if (!m_pPanes->IsCreated())
        return false;
    LoadMenus(IDR_MAINFRAME, IDR_IMAGETYPE);
    QToolBar* pToolBar = LoadToolBar(IDR_MAINFRAME, QStringLiteral("Standard"));
    if (pToolBar == nullptr || pToolBar->actions().isEmpty())
        return false;
    pToolBar->setMovable(true);
    pToolBar->setFloatable(true);
    pToolBar->setAllowedAreas(Qt::AllToolBarAreas);
    LoadAccelerators(IDR_MAINFRAME);
    // The capture items have no text of their own; they have their captions from the start.
    for (const QList<QMenu*>* pMenus : {&DefaultMenus(), &DocumentMenus()}) {
        for (QMenu* pMenu : *pMenus)
            m_pCaptions->Apply(pMenu);
    }
    FitMessagePane();
    m_pClient = std::make_unique<CMDIClientWnd>(*this, m_app, m_app.HiveLocations());
    m_pTray->CreateSystemTray();
    m_refreshTimer.start(kRefreshInterval, Qt::CoarseTimer, this);
    return true;
}

void CMainFrame::FitMessagePane() {
    // Command prompts show where pane 0 is: it is made wide enough for the longest of them.
    QStringList prompts;
    for (const QAction* pAction : findChildren<QAction*>())
        prompts << pAction->statusTip();
    m_pPanes->FitMessagePane(prompts);
}

bool CMainFrame::OnCmdMsg(unsigned nID, ECmdKind kind, CCmdUI* pCmdUI) {
    if (m_pClient && m_pClient->OnCmdMsg(nID, kind, pCmdUI))
        return true;
    return CMDIFrameWnd::OnCmdMsg(nID, kind, pCmdUI);
}

void CMainFrame::OnChildFrameCreated(CMDIChildWnd* pChild) {
    if (m_pClient)
        m_pClient->OnChildCreated(pChild);
}

void CMainFrame::OnChildFrameDestroying(CMDIChildWnd* pChild) {
    if (m_pClient)
        m_pClient->OnChildDestroying(pChild);
}

void CMainFrame::OnChildFramesChanged() {
    CMDIFrameWnd::OnChildFramesChanged();
    if (m_pClient)
        m_pClient->UpdateTabBar();
    // The panes spoke of the image window that went; there is none to speak of now.
    if (ActiveImageView() == nullptr)
        m_pPanes->ShowNoImage();
}

void CMainFrame::SetPaneText(int nPane, const QString& strText) {
    m_pPanes->SetPaneText(nPane, strText);
}

QColor CMainFrame::ViewBackgroundColor() const {
    const RGBQuad q = img::QuadFromColorRef(m_app.Settings().m_crViewBackground);
    return QColor(q.red, q.green, q.blue);
}

QColor CMainFrame::ImageBackgroundColor() const {
    const RGBQuad q = img::QuadFromColorRef(m_app.Settings().m_crImageBackground);
    return QColor(q.red, q.green, q.blue);
}

bool CMainFrame::ClipboardHasImage() const {
    return ::ClipboardHasImage();
}

std::unique_ptr<CImageBitmap> CMainFrame::ImageFromClipboard() {
    return ::ImageFromClipboard(m_app.PictureDecoder());
}

void CMainFrame::TrackViewMenu(QPoint ptGlobal) {
    MenuBuilder().TrackPopup(IDR_VIEW_MENU, ptGlobal, this);
}

void CMainFrame::SetCaptureEngine(ICaptureEngine* pEngine) noexcept {
    m_pCaptureEngine = pEngine;
    m_pCaptions->SetCaptureEngine(pEngine);
}

void CMainFrame::OnInitMenuPopup(QMenu* pMenu) {
    m_pCaptions->Apply(pMenu);
    if (m_pClient)
        m_pClient->RefreshWindowMenu(pMenu);
}

CTavixCaptureView* CMainFrame::ActiveImageView() const {
    return dynamic_cast<CTavixCaptureView*>(GetActiveView());
}

void CMainFrame::Close(ECloseReason reason) {
    if (reason == ECloseReason::TitleBar)
        m_pTray->HideToTray();
    else
        close();
}

void CMainFrame::closeEvent(QCloseEvent* pEvent) {
    // The window system's Close (the title-bar button) hides the program; only Exit ends it.
    if (pEvent->spontaneous()) {
        pEvent->ignore();
        Close(ECloseReason::TitleBar);
        return;
    }
    CMDIFrameWnd::closeEvent(pEvent);
    if (pEvent->isAccepted())
        QTimer::singleShot(0, qApp, &QCoreApplication::quit);
}

void CMainFrame::showEvent(QShowEvent* pEvent) {
    // The window manager may still report the iconified window mapped after it was hidden
    // into the tray: only a window that really shows ends the hidden-minimised state.
    if (isVisible())
        m_pTray->OnShown();
    CMDIFrameWnd::showEvent(pEvent);
}

void CMainFrame::changeEvent(QEvent* pEvent) {
    CMDIFrameWnd::changeEvent(pEvent);
    // The status bar's size grip shows only while the window is neither maximised nor full.
    if (pEvent->type() == QEvent::WindowStateChange)
        statusBar()->update();
    if (pEvent->type() == QEvent::WindowStateChange && isMinimized())
        QTimer::singleShot(0, this, [this] { m_pTray->OnMinimized(); });
}

void CMainFrame::timerEvent(QTimerEvent* pEvent) {
    if (pEvent->timerId() != m_refreshTimer.timerId()) {
        CMDIFrameWnd::timerEvent(pEvent);
        return;
    }
    m_bMarqueeInverted = !m_bMarqueeInverted;
    if (CTavixCaptureView* pView = ActiveImageView())
        pView->RedrawMarquee();
}

void CMainFrame::OnUpdateTabBar() {
    if (m_pClient)
        m_pClient->ShowTabBarForWindows();
    OnChildFramesChanged();
}

void CMainFrame::OnCaptureCommand(unsigned nID) {
    if (m_pCaptureEngine != nullptr)
        m_pCaptureEngine->StartCapture(nID, m_pTray->IsFromTrayMenu());
}

void CMainFrame::OnUpdateCaptureCommand(CCmdUI& cmdUI) {
    if (m_pCaptureEngine == nullptr) {
        cmdUI.Enable(false);
        return;
    }
    cmdUI.Enable(cmdUI.ID() != ID_CAPTURE_REPEAT_LAST || m_pCaptureEngine->CanRepeatLast());
}

void CMainFrame::OnCaptureOptions() {
    CAppOptionsOwner owner(m_app, *this, m_pCaptureEngine);
    COptionsDialog dialog(m_app.Ui(), m_app.Settings(), owner, owner, this);
    if (dialog.Run() != QDialog::Accepted)
        return;
    // New hotkeys show in the menus' captions, new colours in the image window.
    for (const QList<QMenu*>* pMenus : {&DefaultMenus(), &DocumentMenus()}) {
        for (QMenu* pMenu : *pMenus)
            m_pCaptions->Apply(pMenu);
    }
    if (CTavixCaptureView* pView = ActiveImageView())
        pView->viewport()->update();
}

void CMainFrame::OnExploreOutputDirectory() {
    const std::string& strPath = m_app.Settings().m_strAutoSavePath;
    if (!strPath.empty())
        m_app.ShellOpener().Open(QUrl::fromLocalFile(QString::fromStdString(strPath)));
}

void CMainFrame::OnPasteAsNewImage() {
    std::unique_ptr<CImageBitmap> pImage = ImageFromClipboard();
    if (!pImage || m_app.DocTemplate() == nullptr)
        return;
    if (CTavixCaptureDoc::OpenNew(*m_app.DocTemplate(), *pImage,
                                  CTavixCaptureDoc::ENewImage::Image) == nullptr)
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
    m_app.ShellOpener().Open(QUrl(LoadString(IDS_HOME_PAGE_URL)));
}

void CMainFrame::OnHelp() {
    m_app.ShowHelpTopic(0);
}
