// SPDX-License-Identifier: MIT
// The workspace controller of the main window.
#include "app/MDIClientWnd.h"

#include "app/FullScreenMode.h"
#include "dialogs/WindowListDlg.h"
#include "framework/CommandIds.h"
#include "framework/DocManager.h"
#include "framework/Document.h"
#include "framework/GuardCommand.h"
#include "framework/StringTable.h"
#include "framework/View.h"
#include "framework/WinApp.h"
#include "framework/ui/CommandDispatcher.h"
#include "framework/ui/MDIChildWnd.h"
#include "framework/ui/MDIFrameWnd.h"
#include "framework/ui/MenuBuilder.h"
#include "views/ViewManager.h"
#include "views/WorkspaceBackground.h"

#include <QAction>
#include <QApplication>
#include <QFont>
#include <QMdiArea>
#include <QMenu>
#include <QPalette>
#include <QScreen>

#include <cmath>

namespace {

// The Window menu's entries for the open windows, taken out and put back on every opening.
constexpr const char* kWindowListItem = "windowListItem";
constexpr int kMaxListedWindows = 9;

std::uint32_t ColorRef(const QColor& color) {
    return std::uint32_t(color.red()) | std::uint32_t(color.green()) << 8 |
           std::uint32_t(color.blue()) << 16;
}

QColor FromColorRef(std::uint32_t cr) {
    return QColor(int(cr & 0xFF), int((cr >> 8) & 0xFF), int((cr >> 16) & 0xFF));
}

CView* ViewOf(CMDIChildWnd* pChild) {
    return pChild != nullptr ? pChild->GetActiveView() : nullptr;
}

} // namespace

const CCommandMap& CMDIClientWnd::ThisCommandMap() {
    using C = CMDIClientWnd;
    static const CCommandMap s_map =
        TCommandMapBuilder<C>(&CCmdTarget::ThisCommandMap())
            .On(ID_VIEW_FILE_TABS, &C::OnToggleTabBar)
            .OnUpdate(ID_VIEW_FILE_TABS, &C::OnUpdateToggleTabBar)
            .On(ID_VIEW_TAB_BAR, &C::OnToggleTabBar)
            .OnUpdate(ID_VIEW_TAB_BAR, &C::OnUpdateToggleTabBar)
            .On(ID_VIEW_FULL_SCREEN, &C::OnToggleFullScreen)
            .OnUpdate(ID_VIEW_FULL_SCREEN, &C::OnUpdateToggleFullScreen)
            .On(ID_WINDOW_NEXT, &C::OnWindowNext)
            .On(ID_WINDOW_PREVIOUS, &C::OnWindowPrevious)
            .On(ID_WINDOW_CLOSE_ALL, &C::OnWindowCloseAll)
            .On(ID_WINDOW_SAVE_ALL, &C::OnWindowSaveAll)
            .On(ID_WINDOW_MANAGE, &C::OnWindowManage)
            .OnUpdateRange(ID_WINDOW_NEXT, ID_WINDOW_MANAGE, &C::OnUpdateWindowCommand)
            .Build();
    return s_map;
}

CMDIClientWnd::CMDIClientWnd(CMDIFrameWnd& frame, CWinApp& app, platform::HiveLocations locations)
    : m_frame(frame), m_app(app), m_locations(std::move(locations)),
      m_settings(ColorRef(qApp->palette().color(QPalette::Dark)),
                 ColorRef(qApp->palette().color(QPalette::Button)), DefaultLogoFont()),
      m_pTabBar(new CViewManager(&frame)),
      m_pBackground(new CWorkspaceBackground(frame.MdiArea()->viewport())),
      m_pFullScreen(new CFullScreenMode(frame, *m_pTabBar)) {
    m_settings.Load(m_locations);
    m_pTabBar->Create(&frame);
    m_pTabBar->hide();
    ApplyBackground();
    connect(m_pTabBar, &CViewManager::viewSelected, this, [this](CView* pView) {
        if (CFrameWnd* pFrame = pView->GetParentFrame())
            pFrame->ActivateFrame();
    });
    connect(m_pTabBar, &CViewManager::viewContextMenu, this, &CMDIClientWnd::ShowTabMenu);
    connect(m_pBackground, &CWorkspaceBackground::contextMenuRequested, this,
            &CMDIClientWnd::ShowBackgroundMenu);
}

CMDIClientWnd::~CMDIClientWnd() {
    SaveSettings();
}

void CMDIClientWnd::SaveSettings() {
    // The window open now tells how the next ones open, as the last one closed does.
    if (const QMdiSubWindow* pActive = m_frame.MdiArea()->currentSubWindow())
        m_settings.m_bChildMaximized = pActive->isMaximized();
    std::string strError;
    if (!m_settings.Save(m_locations, &strError))
        qWarning("workspace settings not written: %s", strError.c_str());
}

platform::LogoFontRecord CMDIClientWnd::DefaultLogoFont() {
    platform::LogoFontRecord record;
    const QScreen* pScreen = QGuiApplication::primaryScreen();
    const double dDpi = pScreen != nullptr ? pScreen->logicalDotsPerInchY() : 96.0;
    // 18 points on the desktop, as a character height in pixels.
    record.nHeight = -static_cast<std::int32_t>(std::lround(18.0 * dDpi / 72.0));
    record.nWeight = 700;
    record.nPitchAndFamily = 17;
    record.strFaceName = "Times New Roman";
    return record;
}

QFont CMDIClientWnd::FontFromRecord(const platform::LogoFontRecord& record) {
    QFont font(QString::fromStdString(record.strFaceName));
    font.setStyleHint(QFont::Serif);
    // A negative height is the character height; a positive one the cell, a fifth more.
    const int nPixels = record.nHeight < 0 ? -record.nHeight : record.nHeight * 4 / 5;
    if (nPixels > 0)
        font.setPixelSize(nPixels);
    if (record.nWeight > 0)
        font.setWeight(static_cast<QFont::Weight>(std::clamp(record.nWeight, 100, 900)));
    font.setItalic(record.bItalic != 0);
    font.setUnderline(record.bUnderline != 0);
    font.setStrikeOut(record.bStrikeOut != 0);
    return font;
}

void CMDIClientWnd::ApplyBackground() {
    m_pBackground->SetBackColor(FromColorRef(m_settings.m_crBack));
    m_pBackground->SetDispType(static_cast<int>(m_settings.m_nDispType));
    const QString strLogo = QStringLiteral("Quorvi Studio => ") + LoadString(IDS_HOME_PAGE_URL);
    m_pBackground->SetLogo(strLogo, FontFromRecord(m_settings.m_logoFont),
                           FromColorRef(m_settings.m_crLogo));
    m_pBackground->LoadBitmap(QString::fromStdString(m_settings.m_strBitmapFile));
}

void CMDIClientWnd::OnChildCreated(CMDIChildWnd* pChild) {
    if (m_pTabBar->GetViewCount() > 0) {
        if (QMdiSubWindow* pActive = m_frame.MdiArea()->currentSubWindow())
            m_settings.m_bChildMaximized = pActive->isMaximized();
    }
    pChild->SetOpenMaximized(m_settings.m_bChildMaximized);
    m_pTabBar->AddView(QString(), ViewOf(pChild));
    // Titles (renames, Save As, the ":2" numbering) reach the tabs through the windows' titles;
    // the modified colour through the document, once it has settled.
    pChild->installEventFilter(this);
    if (CView* pView = ViewOf(pChild); pView != nullptr && pView->GetDocument() != nullptr) {
        connect(pView->GetDocument(), &CDocument::modifiedChanged, this,
                &CMDIClientWnd::UpdateTabBar,
                static_cast<Qt::ConnectionType>(Qt::QueuedConnection | Qt::UniqueConnection));
    }
}

bool CMDIClientWnd::eventFilter(QObject* pWatched, QEvent* pEvent) {
    if (pEvent->type() == QEvent::WindowTitleChange)
        UpdateTabBar();
    return QObject::eventFilter(pWatched, pEvent);
}

void CMDIClientWnd::OnChildDestroying(CMDIChildWnd* pChild) {
    CView* pView = ViewOf(pChild);
    // A window never shown (its file failed to open) tells nothing of how windows are wanted.
    if (m_pTabBar->GetViewCount() == 1 && m_pTabBar->ViewAt(0) == pView && !pChild->isHidden()) {
        m_settings.m_bChildMaximized = pChild->isMaximized();
        platform::CWorkspaceSettings::SaveChildWinState(m_settings.m_bChildMaximized, m_locations);
    }
    m_pTabBar->RemoveView(pView);
}

void CMDIClientWnd::UpdateTabBar() {
    m_pTabBar->UpdateBar(m_frame.GetActiveView());
}

void CMDIClientWnd::ShowTabBarForWindows() {
    // Full screen keeps the bar in its floating window, shown as it was.
    if (!m_pFullScreen->IsOn())
        m_pTabBar->setVisible(m_pTabBar->GetViewCount() > 0);
}

void CMDIClientWnd::RefreshWindowMenu(QMenu* pMenu) {
    const QList<QAction*> actions = pMenu->actions();
    const bool bWindowMenu = std::any_of(actions.begin(), actions.end(), [](QAction* pAction) {
        return CCommandDispatcher::ActionId(pAction) == ID_WINDOW_NEXT;
    });
    if (!bWindowMenu)
        return;
    for (QAction* pAction : actions) {
        if (pAction->property(kWindowListItem).toBool() ||
            CCommandDispatcher::ActionId(pAction) == ID_WINDOW_MANAGE) {
            pMenu->removeAction(pAction);
            pAction->deleteLater();
        }
    }
    const QList<CMDIChildWnd*> frames = m_frame.ChildFrames();
    QMdiSubWindow* pActive = m_frame.MdiArea()->currentSubWindow();
    if (!frames.isEmpty())
        pMenu->addSeparator()->setProperty(kWindowListItem, true);
    for (int i = 0; i < frames.size() && i < kMaxListedWindows; ++i) {
        CMDIChildWnd* pChild = frames[i];
        QString strTitle = pChild->windowTitle();
        strTitle.replace(QLatin1Char('&'), QStringLiteral("&&"));
        QAction* pItem = pMenu->addAction(QStringLiteral("&%1 %2").arg(i + 1).arg(strTitle));
        pItem->setProperty(kWindowListItem, true);
        pItem->setCheckable(true);
        pItem->setChecked(pChild == pActive);
        connect(pItem, &QAction::triggered, pChild, [pChild] { pChild->ActivateFrame(); });
    }
    QAction* pManage = pMenu->addAction(LoadString(IDS_WINDOWS_ITEM));
    m_frame.Dispatcher().Bind(pManage, ID_WINDOW_MANAGE);
}

void CMDIClientWnd::ShowTabMenu(CView* pView, const QPoint& globalPos) {
    if (CFrameWnd* pFrame = pView->GetParentFrame())
        pFrame->ActivateFrame();
    m_frame.MenuBuilder().TrackPopup(IDR_TAB_MENU, globalPos, &m_frame);
}

void CMDIClientWnd::ShowBackgroundMenu(const QPoint& globalPos) {
    m_frame.MenuBuilder().TrackPopup(IDR_TRAY_MENU, globalPos, &m_frame);
}

void CMDIClientWnd::OnToggleTabBar() {
    m_pTabBar->setVisible(!m_pTabBar->isVisible());
}

void CMDIClientWnd::OnUpdateToggleTabBar(CCmdUI& cmdUI) {
    cmdUI.SetCheck(m_pTabBar->isVisible() ? 1 : 0);
}

void CMDIClientWnd::OnToggleFullScreen() {
    m_pFullScreen->Toggle();
}

void CMDIClientWnd::OnUpdateToggleFullScreen(CCmdUI& cmdUI) {
    cmdUI.SetCheck(m_pFullScreen->IsOn() ? 1 : 0);
}

void CMDIClientWnd::OnWindowNext() {
    m_frame.MdiArea()->activateNextSubWindow();
}

void CMDIClientWnd::OnWindowPrevious() {
    m_frame.MdiArea()->activatePreviousSubWindow();
}

bool CMDIClientWnd::SaveModifiedDocuments() {
    // A copy: a save may change the list (a failed save never closes, but be safe).
    const std::vector<CDocument*> docs = m_app.DocManager().Documents();
    for (CDocument* pDoc : docs) {
        if (pDoc->IsModified() && !pDoc->DoFileSave())
            return false;
    }
    return true;
}

void CMDIClientWnd::OnWindowCloseAll() {
    // An image whose save failed or was cancelled keeps every window open: closing then would
    // throw its changes away without a word.
    if (SaveModifiedDocuments())
        m_app.CloseAllDocuments(false);
}

void CMDIClientWnd::OnWindowSaveAll() {
    SaveModifiedDocuments();
}

void CMDIClientWnd::OnWindowManage() {
    CWindowListDlg dialog(m_frame.Ui(), m_frame, &m_frame);
    dialog.exec();
}

void CMDIClientWnd::OnUpdateWindowCommand(CCmdUI& cmdUI) {
    cmdUI.Enable(m_pTabBar->GetViewCount() > 0);
}
