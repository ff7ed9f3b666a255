// SPDX-License-Identifier: MIT
// CTrayPolicy: where the main window goes when it is closed with the title-bar button,
// minimised or started hidden: into the notification area while a tray shows the program's icon
// (the window then counts as minimised), minimised where there is none. It holds the icon and
// knows whether the command being run was chosen from the tray menu.
#pragma once

#include <QString>

#include <memory>

class CMainFrame;
class CSystemTray;
class ITrayIcon;

namespace platform {
class CAppSettings;
}

class CTrayPolicy {
public:
    CTrayPolicy(CMainFrame& frame, const platform::CAppSettings& settings);
    ~CTrayPolicy();
    CTrayPolicy(const CTrayPolicy&) = delete;
    CTrayPolicy& operator=(const CTrayPolicy&) = delete;

    // Non-owning; set before the frame's Create, it replaces the frame's own icon (tests).
    void SetTrayIcon(ITrayIcon* pTray) noexcept { m_pTray = pTray; }
    // The frame's own notification-area icon, unless another one was set.
    void CreateSystemTray();
    // The frame's own icon, or null when another one was set.
    CSystemTray* SystemTray() const noexcept { return m_pSystemTray.get(); }
    // Takes the icon out of the notification area (the frame is going).
    void RemoveIcon();

    // True when hiding leaves the program reachable through the tray.
    bool CanHideToTray() const;
    // Hidden where a tray shows the program (counting as minimised), else minimised.
    void HideToTray();
    // A start that hides the window: hidden as HideToTray does, and where the tray shows the
    // program, a notification says so (a first start from the menu otherwise shows nothing).
    void HideAtStart(const QString& strDesktopHotkey);
    // Minimised, or hidden to the tray by Close, a hidden start or Minimize.
    bool IsMinimisedOrHiddenMinimised() const;
    // The window really shows again: it no longer counts as minimised.
    void OnShown() noexcept { m_bHiddenMinimised = false; }
    // After Minimize: hidden when "OptionsA" asks for it and a tray can take the program.
    void OnMinimized();

    // The tray menu is open, or was closed on a command that has not run yet.
    bool IsFromTrayMenu() const noexcept { return m_bFromTrayMenu; }
    void SetFromTrayMenu(bool bOn) noexcept { m_bFromTrayMenu = bOn; }

private:
    CMainFrame& m_frame;
    const platform::CAppSettings& m_settings;
    std::unique_ptr<CSystemTray> m_pSystemTray;
    ITrayIcon* m_pTray = nullptr;
    bool m_bHiddenMinimised = false;
    bool m_bFromTrayMenu = false;
};
