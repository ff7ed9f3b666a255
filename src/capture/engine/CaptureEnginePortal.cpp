// SPDX-License-Identifier: MIT
// The capture actions in a Wayland session: the screen from the desktop portal, the pickers on
// its picture with the overlay taking its own input, and no window captures.
#include "capture/engine/CaptureEngine.h"

#include "capture/engine/CaptureHost.h"
#include "capture/engine/CaptureOverlay.h"
#include "capture/engine/CaptureSound.h"
#include "capture/portal/FrozenDesktopQueries.h"
#include "capture/portal/PortalScreenshot.h"
#include "capture/portal/PortalShortcuts.h"
#include "framework/UiServices.h"
#include "image/ImageBitmap.h"
#include "image/Trace.h"
#include "platform/AppSettings.h"

#include <QCoreApplication>
#include <QString>

#include <chrono>
#include <cstdio>

using capture::CaptureActionInfo;
using capture::CaptureMode;
using capture::CaptureRegion;

namespace {

// A Wayland session gives programs neither the windows' places nor the menus on screen.
bool NeedsWindowGeometry(CaptureMode mode) {
    switch (mode) {
    case CaptureMode::ActiveWindow:
    case CaptureMode::ActiveWindowClient:
    case CaptureMode::Control:
    case CaptureMode::SingleWindow:
    case CaptureMode::PopupMenu:
        return true;
    default:
        return false;
    }
}

constexpr auto kNoWindowGeometry =
    "This Wayland session does not tell programs where windows and menus are, so windows, their "
    "client areas, controls and popup menus cannot be captured here.\n\nUse the rectangle, a "
    "shape or the desktop capture instead.";

std::uint32_t NowMs() {
    using namespace std::chrono;
    return std::uint32_t(
        duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count());
}

} // namespace

bool CCaptureEngine::InitializePortal(const char* pszDisplay) {
    m_pPortal = std::make_unique<CPortalScreenshot>();
    connect(m_pPortal.get(), &CPortalScreenshot::captured, this, &CCaptureEngine::OnPortalCaptured);
    connect(m_pPortal.get(), &CPortalScreenshot::failed, this, &CCaptureEngine::OnPortalFailed);
    m_pFrozenQueries = std::make_unique<CFrozenDesktopQueries>();
    m_pOverlay = std::make_unique<CCaptureOverlay>();
    m_pOverlay->SetTakesInput(true);
    connect(m_pOverlay.get(), &CCaptureOverlay::mouseInput, this, &CCaptureEngine::OnOverlayMouse);
    connect(m_pOverlay.get(), &CCaptureOverlay::pickerKey, this, &CCaptureEngine::OnPickerKey);
    if (qEnvironmentVariableIsSet("QUORVI_TIMING"))
        connect(m_pOverlay.get(), &CCaptureOverlay::frozenShown, this, [this] {
            std::fprintf(stderr,
                         "timing: portal answer %.1f ms, picture read in %.1f ms, overlay painted "
                         "%.1f ms after the answer (%.1f ms CPU)\n",
                         m_pPortal->AnswerMs(), m_pPortal->LoadMs(),
                         double(m_answerTimer.nsecsElapsed()) / 1e6 + m_pPortal->LoadMs(),
                         CPortalScreenshot::ThreadCpuMs() - m_dAnswerCpuMs +
                             m_pPortal->LoadCpuMs());
        });
    m_pSound = std::make_unique<CCaptureSound>();
    m_tracker.SetDesktopQueries(m_pFrozenQueries.get());
    m_tracker.Tip().Prepare(
        CCaptureOverlay::TextExtent(QString::fromLatin1(CTrackerTip::kHintText)),
        CCaptureOverlay::TextExtent(QString::fromStdString(CTrackerTip::WidestSizeText())));
    m_pShortcuts = std::make_unique<CPortalShortcuts>();
    connect(m_pShortcuts.get(), &CPortalShortcuts::activated, this,
            &CCaptureEngine::OnDesktopShortcut);
    connect(m_pShortcuts.get(), &CPortalShortcuts::bound, this, &CCaptureEngine::keyBindingChanged);
    connect(m_pShortcuts.get(), &CPortalShortcuts::unavailable, this,
            &CCaptureEngine::keyBindingChanged);
    // Through XWayland the hotkeys also fire while a window of an X client has the focus.
    if (pszDisplay != nullptr || qEnvironmentVariableIsSet("DISPLAY"))
        InstallHotkeys(pszDisplay);
    else
        SetHotkeyTable(m_host.Settings().Hotkeys().data());
    return true;
}

// Every action that works on the portal's picture gets a shortcut, with the table's key as the
// one we would like where it has one; the desktop's settings can give the others keys.
void CCaptureEngine::BindDesktopShortcuts(const std::uint16_t* pTable) {
    std::vector<CPortalShortcuts::Shortcut> shortcuts;
    for (int nAction = 0; nAction < platform::kCaptureActionCount; ++nAction) {
        const std::optional<CaptureActionInfo> info = capture::ActionForIndex(nAction);
        if (!info || NeedsWindowGeometry(info->mode))
            continue;
        const QString strName = QString::fromLatin1(capture::ActionName(nAction));
        QString strCaption = m_host.ActionCaption(nAction);
        if (strCaption.isEmpty())
            strCaption = strName;
        shortcuts.push_back({strName, QStringLiteral("Quorvi Studio: %1").arg(strCaption),
                             capture::ShortcutTrigger(pTable[nAction])});
    }
    m_pShortcuts->Bind(std::move(shortcuts));
}

void CCaptureEngine::OnDesktopShortcut(const QString& strId) {
    if (const std::optional<int> nAction = capture::ActionForName(strId.toStdString()))
        OnHotkey(*nAction);
}

QString CCaptureEngine::KeyBindingNote() const {
    if (!m_pShortcuts)
        return {};
    if (m_pShortcuts->State() == CPortalShortcuts::EState::Bound)
        return QStringLiteral("Wayland session: captures go through the desktop portal, and the "
                              "capture hotkeys are the desktop's global shortcuts (its keyboard "
                              "settings show and change their keys).");
    return QString::fromLatin1(kBindCommandNote);
}

void CCaptureEngine::RunPortal(const CaptureActionInfo& info) {
    if (NeedsWindowGeometry(info.mode)) {
        EndAction();
        m_host.Ui().AppMessageBox(QString::fromLatin1(kNoWindowGeometry), EMsgButtons::Ok,
                                  EMsgIcon::Information);
        emit actionEnded();
        return;
    }
    Prepare(true, &CCaptureEngine::ContinuePortal);
}

// ---- The desktop portal (Wayland sessions) ----

void CCaptureEngine::ContinuePortal() {
    m_nLastAction = m_current->nAction;
    if (!m_pPortal->Request()) {
        EndAction();
        AbandonAction();
    }
}

void CCaptureEngine::OnPortalCaptured() {
    m_answerTimer.start(); // the picture has just been read
    m_dAnswerCpuMs = CPortalScreenshot::ThreadCpuMs();
    EndAction();
    auto pPicture = m_pPortal->TakeBitmap();
    m_rcFrozen = capture::Rect::FromSize(0, 0, pPicture->Width(), pPicture->Height());
    m_pFrozen = std::move(pPicture);
    m_pFrozenQueries->SetDesktop(m_rcFrozen);
    if (m_current->mode == CaptureMode::Desktop) {
        Grab(CaptureRegion{m_rcFrozen, 0, {}});
        return;
    }
    img::Trace("capture: picking on the portal's picture\n");
    BeginPicking();
    m_state = EState::Picking;
}

void CCaptureEngine::OnPortalFailed() {
    EndAction();
    AbandonAction(m_pPortal->FailureText());
}

void CCaptureEngine::OnOverlayMouse(const capture::MouseInput& input) {
    if (m_state != EState::Picking)
        return;
    m_ptPointer = input.pt;
    ApplyPickerResponse(m_tracker.OnMouse({input.kind, input.pt, NowMs()}));
}
