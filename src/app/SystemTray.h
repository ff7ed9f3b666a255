// SPDX-License-Identifier: MIT
// CSystemTray: the program's icon in the notification area, with menu 155 on a right click and
// the main window restored on a double click.
#pragma once

#include "app/ShellServices.h"

#include <QObject>
#include <QSystemTrayIcon>
#include <QTimer>

class CMainFrame;
class CTrayPolicy;
class QMenu;

class CSystemTray final : public QObject, public ITrayIcon {
    Q_OBJECT

public:
    // The icon with tip "Quorvi Studio" and the tray menu, whose commands run through the
    // frame's routing and whose capture items show their hotkeys. The menu marks the commands
    // chosen from it in policy.
    CSystemTray(CMainFrame& frame, CTrayPolicy& policy);
    ~CSystemTray() override;

    // Asks the desktop now: a tray host can come and go while the program runs.
    bool IsAvailable() const override;
    void ShowMessage(const QString& strTitle, const QString& strText) override;

    QMenu* Menu() const noexcept { return m_pMenu; }
    QSystemTrayIcon& Icon() noexcept { return m_icon; }

    // What a double click on the icon does: the main window restored, in front, and the
    // default item's command sent to the frame.
    void OnDoubleClick();

protected:
    bool eventFilter(QObject* pWatched, QEvent* pEvent) override;

private:
    void OnActivated(QSystemTrayIcon::ActivationReason reason);
    // True for the window of the icon Qt docks into an XEmbed tray (StatusNotifierItem trays
    // draw the icon themselves and have none).
    static bool IsXEmbedIconWindow(QObject* pObject);
    // Qt docks an icon only into a tray present when it is shown: one that starts later (a
    // panel restarted, a session still coming up) is looked for every few seconds.
    void WatchForTray();

    CMainFrame& m_frame;
    CTrayPolicy& m_policy;
    QMenu* m_pMenu = nullptr; // owned by the frame (the menus' parent)
    QSystemTrayIcon m_icon;
    QTimer m_trayWatch;
    bool m_bTrayPresent = false;
};
