// SPDX-License-Identifier: MIT
// Hiding the main window into the notification area.
#include "app/TrayPolicy.h"

#include "app/MainFrame.h"
#include "app/SystemTray.h"
#include "platform/AppSettings.h"

CTrayPolicy::CTrayPolicy(CMainFrame& frame, const platform::CAppSettings& settings)
    : m_frame(frame), m_settings(settings) {}

CTrayPolicy::~CTrayPolicy() = default;

void CTrayPolicy::CreateSystemTray() {
    // Where the desktop has no tray the program still starts: Close, Minimize and a hidden start
    // then minimise instead of hiding (CanHideToTray).
    if (m_pTray != nullptr)
        return;
    m_pSystemTray = std::make_unique<CSystemTray>(m_frame, *this);
    m_pTray = m_pSystemTray.get();
}

void CTrayPolicy::RemoveIcon() {
    m_pTray = nullptr;
    m_pSystemTray.reset();
}

bool CTrayPolicy::CanHideToTray() const {
    return m_pTray != nullptr && m_pTray->IsAvailable();
}

void CTrayPolicy::HideToTray() {
    if (!CanHideToTray()) {
        m_frame.showMinimized();
        return;
    }
    // Hidden in the normal state and remembered as minimised: asking the window manager to
    // iconify a window that is being withdrawn at the same time left it unable to show again.
    m_frame.hide();
    m_bHiddenMinimised = true;
}

void CTrayPolicy::HideAtStart(const QString& strDesktopHotkey) {
    const bool bToTray = CanHideToTray();
    HideToTray();
    if (!bToTray)
        return;
    const QString strCapture =
        strDesktopHotkey.isEmpty()
            ? QStringLiteral("Its menu starts a capture.")
            : QStringLiteral("%1 captures the desktop.").arg(strDesktopHotkey);
    m_pTray->ShowMessage(QStringLiteral("Quorvi Studio"),
                         QStringLiteral("Quorvi Studio runs in the notification area: click its "
                                        "icon for the menu. ") +
                             strCapture);
}

bool CTrayPolicy::IsMinimisedOrHiddenMinimised() const {
    return m_frame.isMinimized() || (m_frame.isHidden() && m_bHiddenMinimised);
}

void CTrayPolicy::OnMinimized() {
    if (!m_frame.isMinimized() || !m_frame.isVisible())
        return;
    if ((m_settings.m_dwOptionsA & platform::options::kMinimizeToTray) != 0 && CanHideToTray()) {
        m_frame.hide();
        m_bHiddenMinimised = true;
    }
}
