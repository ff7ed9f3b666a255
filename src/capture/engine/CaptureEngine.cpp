// SPDX-License-Identifier: MIT
// The capture actions, from the start command to delivery.
#include "capture/engine/CaptureEngine.h"

#include "capture/RegionGrab.h"
#include "capture/engine/CaptureHost.h"
#include "capture/engine/CaptureOverlay.h"
#include "capture/engine/CaptureSound.h"
#include "capture/portal/FrozenDesktopQueries.h"
#include "capture/portal/PortalScreenshot.h"
#include "capture/portal/PortalShortcuts.h"
#include "capture/portal/WaylandSession.h"
#include "capture/x11/DesktopQueries.h"
#include "capture/x11/ScreenGrabber.h"
#include "framework/CommandIds.h"
#include "framework/StringTable.h"
#include "framework/UiServices.h"
#include "hook/TavixHook.h"
#include "image/MemoryBitmap.h"
#include "image/Pixel.h"
#include "image/Trace.h"
#include "platform/AppSettings.h"

#include <QAbstractEventDispatcher>
#include <QApplication>
#include <QCoreApplication>
#include <QSocketNotifier>
#include <QTimer>
#include <QWidget>

#include <chrono>
#include <utility>

using capture::CaptureActionInfo;
using capture::CaptureMode;
using capture::CaptureRegion;
using capture::PickerAction;
namespace opt = platform::options;

namespace {

int HookProc(void* pContext, std::uint32_t nMessage, std::uint32_t wParam, std::uint32_t lParam) {
    try {
        static_cast<CCaptureEngine*>(pContext)->OnHookMessage(nMessage, wParam, lParam);
    } catch (const std::exception& e) {
        img::Trace("capture: hook message failed: %s\n", e.what());
    } catch (...) {
        img::Trace("capture: hook message failed\n");
    }
    return 1;
}

std::uint32_t NowMs() {
    using namespace std::chrono;
    return std::uint32_t(
        duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count());
}

} // namespace

CCaptureEngine::CCaptureEngine(ICaptureHost& host, QObject* pParent)
    : QObject(pParent), m_host(host) {}

CCaptureEngine::~CCaptureEngine() {
    delete m_pHookNotifier; // before the descriptor it watches is closed
    if (m_bHookConnected) {
        QRZ_UnHookMouse();
        QRZ_Shutdown(); // releases the hotkeys; the table copy stays readable
    }
}

bool CCaptureEngine::Initialize(const char* pszDisplay) {
    if (capture::IsWaylandSession())
        return InitializePortal(pszDisplay);
    m_pConn = CX11Connection::Open(pszDisplay);
    if (!m_pConn)
        return false;
    m_pGrabber = std::make_unique<CScreenGrabber>(*m_pConn);
    m_pQueries = std::make_unique<CX11DesktopQueries>(*m_pConn);
    m_pOverlay = std::make_unique<CCaptureOverlay>();
    m_pSound = std::make_unique<CCaptureSound>();
    m_tracker.SetDesktopQueries(m_pQueries.get());
    m_tracker.Tip().Prepare(
        CCaptureOverlay::TextExtent(QString::fromLatin1(CTrackerTip::kHintText)),
        CCaptureOverlay::TextExtent(QString::fromStdString(CTrackerTip::WidestSizeText())));
    InstallHotkeys(pszDisplay);
    return true;
}

void CCaptureEngine::InstallHotkeys(const char* pszDisplay) {
    if (QRZ_Connect(pszDisplay) != QRZ_OK)
        return; // captures work, hotkeys do not
    m_bHookConnected = true;
    InstallHookWatch();
    QRZ_SetDoubleClickTime(std::uint32_t(QApplication::doubleClickInterval()));
    SetHotkeyTable(m_host.Settings().Hotkeys().data());
}

void CCaptureEngine::InstallHookWatch() {
    const int fd = QRZ_GetConnectionFd();
    if (fd < 0)
        return;
    m_pHookNotifier = new QSocketNotifier(fd, QSocketNotifier::Read, this);
    auto dispatch = [this] {
        if (m_pHookNotifier && QRZ_DispatchEvents() == QRZ_ERR_NO_DISPLAY)
            m_pHookNotifier->setEnabled(false);
    };
    connect(m_pHookNotifier, &QSocketNotifier::activated, this, dispatch);
    // A reply read by any call can pull events into the library's queue without the descriptor
    // becoming readable again: look once more before the loop sleeps.
    if (QAbstractEventDispatcher* pDispatcher = QAbstractEventDispatcher::instance())
        connect(pDispatcher, &QAbstractEventDispatcher::aboutToBlock, this, dispatch);
}

bool CCaptureEngine::SetHotkeyTable(const std::uint16_t* pTable) {
    if (m_pShortcuts)
        BindDesktopShortcuts(pTable);
    const int nResult = QRZ_HookKeyboard(&HookProc, this, pTable);
    m_bHotkeysInstalled =
        m_bHotkeysInstalled || nResult == QRZ_OK || nResult == QRZ_ERR_HOTKEYS_FAILED;
    if (nResult == QRZ_ERR_HOTKEYS_FAILED) {
        for (int i = 0; i < QRZ_HOTKEY_COUNT; ++i)
            if (const int nStatus = QRZ_GetHotKeyStatus(i); nStatus > QRZ_HOTKEY_ACTIVE)
                img::Trace("capture: hotkey %d (0x%04X) is not available (state %d)\n", i,
                           pTable[i], nStatus);
    }
    return nResult == QRZ_OK;
}

const std::uint16_t* CCaptureEngine::HotkeyTable() const {
    if (!m_bHotkeysInstalled || QRZ_GetCaptureHotKey(m_hotkeys.data()) != QRZ_OK)
        return nullptr;
    return m_hotkeys.data();
}

int CCaptureEngine::HotkeyStatus(int nIndex) const {
    return QRZ_GetHotKeyStatus(nIndex);
}

std::uint32_t CCaptureEngine::DelayMs() const {
    return m_host.Settings().m_wCaptureDelayTime;
}

// ---- Starting actions ----

bool CCaptureEngine::StartCommand(unsigned nCommandID, EOrigin origin) {
    const std::optional<CaptureActionInfo> info = capture::ActionForCommand(nCommandID);
    if (!info || IsBusy())
        return false;
    m_bHotkeyCapture = false;
    m_bFromTrayMenu = origin == EOrigin::TrayMenu;
    RunAction(info->nAction);
    return true;
}

void CCaptureEngine::OnHotkey(int nAction) {
    // A hotkey pressed while an action runs waits for nobody: the screen is not ready for it.
    if (IsBusy())
        return;
    m_bHotkeyCapture = true;
    if (nAction >= 0 && nAction <= platform::Default)
        RunAction(nAction);
    else
        m_bHotkeyCapture = false;
}

bool CCaptureEngine::StartFromShortcut(int nAction) {
    if (IsBusy() || !capture::ActionForIndex(nAction))
        return false;
    m_bHotkeyCapture = true;
    m_bFromTrayMenu = false;
    RunAction(nAction);
    return true;
}

void CCaptureEngine::RunAction(int nAction) {
    if (nAction == platform::RepeatLast) {
        if (m_nLastAction)
            RunAction(*m_nLastAction);
        else
            EndAction();
        return;
    }
    if (nAction == platform::Default) {
        const std::uint32_t dwDefault = m_host.Settings().m_dwDefaultCaptureAction;
        if (dwDefault <= std::uint32_t(platform::SingleWindow))
            RunAction(int(dwDefault));
        else
            EndAction();
        return;
    }
    const std::optional<CaptureActionInfo> info = capture::ActionForIndex(nAction);
    if (!info || (!m_pConn && !m_pPortal)) {
        EndAction();
        return;
    }
    m_current = info;
    if (m_pPortal) {
        RunPortal(*info);
        return;
    }
    switch (info->mode) {
    case CaptureMode::ActiveWindow:
    case CaptureMode::ActiveWindowClient:
        RunImmediate(*info);
        break;
    case CaptureMode::PopupMenu:
        RunMenu(*info);
        break;
    case CaptureMode::Desktop:
        Prepare(true, &CCaptureEngine::ContinueDesktop);
        break;
    default:
        Prepare(true, &CCaptureEngine::ContinuePicker);
        break;
    }
}

void CCaptureEngine::RunImmediate(const CaptureActionInfo& info) {
    if (m_bFromTrayMenu) {
        // The tray menu's grab on the keyboard and the menu's own window stand in the way of
        // the window the user means.
        EndAction();
        Refuse(IDS_TRAY_MENU_MODE, info.nAction, true);
        return;
    }
    Prepare(false, &CCaptureEngine::ContinueImmediate);
}

void CCaptureEngine::RunMenu(const CaptureActionInfo& info) {
    if (m_bHotkeyCapture) {
        Prepare(true, &CCaptureEngine::ContinueMenu);
        return;
    }
    (void)info;
    m_host.ShowAfterCapture();
    const QString strText =
        FormatString1(IDS_MENU_CAPTURE_HELP, m_host.HotkeyText(platform::PopupMenu)) +
        LoadString(IDS_MENU_CAPTURE_NOTE);
    EndAction();
    m_host.Ui().AppMessageBox(strText, EMsgButtons::Ok, EMsgIcon::Information);
    emit actionEnded();
}

void CCaptureEngine::Refuse(unsigned nStringID, int nHotkeyAction, bool bShowFirst) {
    if (bShowFirst)
        m_host.ShowAfterCapture();
    m_host.Ui().AppMessageBox(FormatString1(nStringID, m_host.HotkeyText(nHotkeyAction)),
                              EMsgButtons::Ok, EMsgIcon::Information);
    emit actionEnded();
}

// ---- Preparing the screen ----

void CCaptureEngine::Prepare(bool bPicker, void (CCaptureEngine::*next)()) {
    m_state = EState::Preparing;
    m_bPointerWanted = PointerWanted(bPicker);
    m_pfnNext = next;
    m_host.KeepWindowState();
    QWidget* pMain = m_host.MainWindow();
    // The program's own open menu is what the menu hotkey is to take: hiding the main window
    // would close it.
    const bool bOwnMenuOpen = m_current && m_current->mode == CaptureMode::PopupMenu &&
                              QApplication::activePopupWidget() != nullptr;
    if (pMain && pMain->isVisible() && !bOwnMenuOpen) {
        pMain->hide();
        QTimer::singleShot(kHideWaitMs, this, &CCaptureEngine::AfterHide);
    } else {
        AfterHide();
    }
}

void CCaptureEngine::AfterHide() {
    // Let the windows that were covered repaint before the screen is read.
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    QTimer::singleShot(int(kSettleWaitMs + DelayMs()), this, &CCaptureEngine::AfterSettle);
}

void CCaptureEngine::AfterSettle() {
    PaintPointer();
    if (m_pfnNext)
        (this->*std::exchange(m_pfnNext, nullptr))();
}

bool CCaptureEngine::PointerWanted(bool bPicker) const {
    // A region or window picked on the screen would show the pointer where the capture was
    // started, usually in its middle; the desktop and the active window take it as asked.
    const bool bPicked = bPicker && m_current && m_current->mode != CaptureMode::Desktop &&
                         m_current->mode != CaptureMode::PopupMenu;
    return !bPicked && (m_host.Settings().m_dwOptionsA & opt::kIncludePointer) != 0;
}

void CCaptureEngine::PaintPointer() {
    m_cursor.reset();
    // The portal's picture cannot take the pointer in: it is left out there.
    if (m_pConn && m_bPointerWanted)
        m_cursor = capture::FetchCursorImage(*m_pConn);
}

void CCaptureEngine::ContinueImmediate() {
    m_nLastAction = m_current->nAction;
    std::vector<xcb_window_t> excluded;
    if (QWidget* pMain = m_host.MainWindow())
        excluded.push_back(xcb_window_t(pMain->winId()));
    m_pQueries->SetExcludedWindows(std::move(excluded));
    const std::optional<CaptureRegion> region = m_tracker.QueryImmediate(m_current->mode);
    if (region) {
        m_region = *region;
        m_state = EState::Grabbing;
        EndAction();
        QTimer::singleShot(kGrabWaitMs, this, &CCaptureEngine::GrabPending);
        return;
    }
    const bool bClient = m_current->mode == CaptureMode::ActiveWindowClient;
    const int nAction = m_current->nAction;
    m_tracker.Reset();
    m_state = EState::Idle;
    EndAction();
    Refuse(IDS_NO_ACTIVE_WINDOW, nAction, bClient);
    m_host.ShowAfterCapture();
}

void CCaptureEngine::ContinueMenu() {
    m_nLastAction = m_current->nAction;
    const std::optional<CaptureRegion> region = m_tracker.QueryImmediate(CaptureMode::PopupMenu);
    EndAction();
    if (region) {
        Grab(*region);
        return;
    }
    m_tracker.Reset();
    m_state = EState::Idle;
    m_host.Ui().AppMessageBox(LoadString(IDS_NO_POPUP_MENU), EMsgButtons::Ok,
                              EMsgIcon::Information);
    RestoreMainWindow();
    emit actionEnded();
}

void CCaptureEngine::ContinueDesktop() {
    m_nLastAction = m_current->nAction;
    const std::optional<CaptureRegion> region = m_tracker.QueryImmediate(CaptureMode::Desktop);
    EndAction();
    if (region)
        Grab(*region);
    else
        AbandonAction();
}

bool CCaptureEngine::Freeze() {
    m_rcFrozen = m_pQueries->DesktopRect();
    m_pFrozen = std::make_unique<CMemoryBitmap>();
    if (!m_pGrabber->Grab(m_rcFrozen, *m_pFrozen,
                          img::QuadFromColorRef(m_host.Settings().m_crTransparency))) {
        m_pFrozen.reset();
        return false;
    }
    return true;
}

void CCaptureEngine::ContinuePicker() {
    m_nLastAction = m_current->nAction;
    if (!Freeze()) {
        EndAction();
        AbandonAction();
        return;
    }
    // The window lookups see the desktop as frozen, without our own windows.
    std::vector<xcb_window_t> excluded{xcb_window_t(m_pOverlay->winId())};
    if (QWidget* pMain = m_host.MainWindow())
        excluded.push_back(xcb_window_t(pMain->winId()));
    m_pQueries->SetExcludedWindows(std::move(excluded));
    m_pQueries->Refresh();
    BeginPicking();
    const int nHook = QRZ_HookMouse(&HookProc, this, m_current->cursor);
    EndAction();
    if (nHook != QRZ_OK) {
        // Another program's menu or drag holds the pointer: without a word the capture would
        // just not happen.
        img::Trace("capture: the pointer cannot be taken (%d)\n", nHook);
        m_pOverlay->HideOverlay();
        m_tracker.Reset();
        m_pFrozen.reset();
        AbandonAction(IDS_POINTER_BUSY);
        return;
    }
    m_state = EState::Picking;
    // Show where the pointer is and the hint at once, before the first move.
    auto reply = x11::XcbReply<xcb_query_pointer_reply_t>(xcb_query_pointer_reply(
        m_pConn->Get(), xcb_query_pointer(m_pConn->Get(), m_pConn->Root()), nullptr));
    if (reply) {
        m_ptPointer = {reply->root_x, reply->root_y};
        ApplyPickerResponse(m_tracker.OnMouse({capture::MouseKind::Move, m_ptPointer, NowMs()}));
    }
}

void CCaptureEngine::BeginPicking() {
    const IDesktopQueries& queries =
        m_pPortal ? static_cast<const IDesktopQueries&>(*m_pFrozenQueries) : *m_pQueries;
    m_tracker.Tip().SetMonitors(queries.MonitorRects());
    m_tracker.Start(m_current->mode);
    m_pOverlay->ShowFrozen(*m_pFrozen, m_rcFrozen);
}

// ---- Picking ----

void CCaptureEngine::OnHookMessage(std::uint32_t nMessage, std::uint32_t wParam,
                                   std::uint32_t lParam) {
    if (nMessage == QRZM_ForwardMouseMessage) {
        OnMouse(wParam, lParam);
    } else if (nMessage == QRZM_ForwardKeyboardMessage) {
        if (wParam == QRZ_PICKER_KEY)
            OnPickerKey(int(lParam));
        else
            OnHotkey(int(wParam));
    }
}

void CCaptureEngine::OnMouse(std::uint32_t wParam, std::uint32_t lParam) {
    if (m_state != EState::Picking)
        return;
    const capture::MouseInput input = capture::MouseInputFromMessage(wParam, lParam, NowMs());
    m_ptPointer = input.pt;
    ApplyPickerResponse(m_tracker.OnMouse(input));
}

void CCaptureEngine::OnPickerKey(int nVirtKey) {
    if (m_state != EState::Picking)
        return;
    ApplyPickerResponse(m_tracker.OnKey(nVirtKey, m_ptPointer));
}

void CCaptureEngine::ApplyPickerResponse(const capture::PickerResponse& response) {
    if (response.bBeep)
        QApplication::beep();
    if (response.nudge != capture::Point{} && !m_pPortal)
        QRZ_MovePointerBy(response.nudge.x, response.nudge.y); // the move comes back as a message
    switch (response.action) {
    case PickerAction::Finish:
        StopPicking();
        m_region = m_tracker.Region();
        m_state = EState::Grabbing;
        // Out of the hook's callback before the grab delivers and opens windows.
        QTimer::singleShot(0, this, &CCaptureEngine::GrabPending);
        break;
    case PickerAction::Cancel:
        CancelPicking();
        break;
    case PickerAction::Continue:
        if (response.bRedraw)
            m_pOverlay->SetFeedback(m_tracker.Feedback());
        // No program may move the pointer on Wayland: the nudge moves the picker's own point.
        if (response.nudge != capture::Point{} && m_pPortal)
            OnOverlayMouse({capture::MouseKind::Move, m_ptPointer + response.nudge, 0});
        break;
    }
}

void CCaptureEngine::StopPicking() {
    if (!m_pPortal)
        QRZ_UnHookMouse();
    m_pOverlay->SetFeedback({});
}

void CCaptureEngine::CancelPicking() {
    StopPicking();
    m_pOverlay->HideOverlay();
    m_tracker.Reset();
    m_pFrozen.reset();
    AbandonAction();
}

// ---- Grab and the end of an action ----

void CCaptureEngine::GrabPending() {
    Grab(m_region);
}

void CCaptureEngine::Grab(const CaptureRegion& region) {
    m_state = EState::Grabbing;
    m_bFromTrayMenu = false;
    const platform::CAppSettings& settings = m_host.Settings();
    const RGBQuad fill = img::QuadFromColorRef(settings.m_crTransparency);
    m_pCapture = std::make_unique<CMemoryBitmap>();
    bool bGrabbed;
    if (m_pFrozen) {
        bGrabbed = capture::CopyRegion(*m_pFrozen, m_rcFrozen.TopLeft(), region, fill, *m_pCapture);
    } else {
        bGrabbed = capture::GrabRegion(*m_pGrabber, region, fill, *m_pCapture);
        if (bGrabbed && m_cursor && region.nShapePoints == 0)
            capture::BlendCursor(*m_pCapture, region.rc.TopLeft(), *m_cursor);
    }
    m_tracker.Reset();
    m_pOverlay->HideOverlay();
    m_pFrozen.reset();
    m_cursor.reset();
    if (!bGrabbed) {
        img::Trace("capture: the region %d,%d %dx%d could not be grabbed\n", region.rc.left,
                   region.rc.top, region.rc.Width(), region.rc.Height());
        m_pCapture.reset();
        AbandonAction();
        return;
    }
    m_host.DeliverCapture(*m_pCapture);
    m_pCapture.reset();
    if ((settings.m_dwOptionsA & opt::kPlaySound) != 0)
        m_pSound->Play();
    RestoreMainWindow();
    m_state = EState::Idle;
    emit captured();
}

void CCaptureEngine::RestoreMainWindow() {
    if ((m_host.Settings().m_dwOptionsA & opt::kShowAfterCapture) != 0)
        m_host.ShowAfterCapture();
    else
        m_host.HideForCapture();
}

void CCaptureEngine::EndAction() {
    m_bHotkeyCapture = false;
    m_bFromTrayMenu = false;
}

void CCaptureEngine::AbandonAction(const QString& strMessage) {
    m_state = EState::Idle;
    m_host.RestoreWindowState();
    m_host.Ui().AppMessageBox(strMessage, EMsgButtons::Ok, EMsgIcon::Exclamation);
    emit actionEnded();
}

void CCaptureEngine::AbandonAction(unsigned nMessageID) {
    m_state = EState::Idle;
    // Nothing was captured, so nothing changes: a window that was shown comes back as it was,
    // one that was hidden (a hotkey used from another program) stays so.
    m_host.RestoreWindowState();
    if (nMessageID != 0) // before the action ends, so no other capture starts under the box
        m_host.Ui().AppMessageBox(LoadString(nMessageID), EMsgButtons::Ok, EMsgIcon::Exclamation);
    emit actionEnded();
}
