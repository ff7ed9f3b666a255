// SPDX-License-Identifier: MIT
// Seams for the parts of the shell that arrive later: the notification-area icon, the
// single-instance guard and the capture engine. The application and the main frame ask these
// interfaces; without an installed object they behave as on a desktop without them.
#pragma once

#include <QStringList>

#include <cstdint>
#include <functional>

class CMainFrame;

// The notification-area icon (tray).
class ITrayIcon {
public:
    virtual ~ITrayIcon() = default;
    // True while a tray host shows the icon, so that hiding the main window leaves the program
    // reachable. Without it Close and Minimize minimise instead of hiding.
    virtual bool IsAvailable() const = 0;
    // A notification from the icon (a balloon, or the desktop's notification).
    virtual void ShowMessage(const QString& strTitle, const QString& strText) = 0;
};

// The single-instance guard, asked once during start-up.
class IInstanceGuard {
public:
    enum class ERole {
        First,      // the only running instance: later starts bring frame forward and hand
                    // their files to the opener
        HandedOver, // another instance runs: it has come forward and taken `files`
        NoAnswer,   // another instance holds the lock but took nothing: `files` are not open
    };
    virtual ~IInstanceGuard() = default;
    // With strCapture (a capture action's name) the running instance starts that capture instead
    // of opening files.
    virtual ERole Claim(CMainFrame& frame, const QStringList& files = {},
                        const QString& strCapture = {}) = 0;
    // Where the files named by later starts go (set before Claim).
    virtual void SetFileOpener(std::function<void(const QStringList&)> open) = 0;
    // Where the captures asked for by later starts go (set before Claim).
    virtual void SetCaptureStarter(std::function<void(const QString&)> start) = 0;
};

// The capture engine.
class ICaptureEngine {
public:
    virtual ~ICaptureEngine() = default;
    // Starts the capture of a capture command (ID_CAPTURE_ACTIVE_WINDOW ... ID_CAPTURE_ICON),
    // chosen from the tray menu or elsewhere.
    virtual void StartCapture(unsigned nCommandID, bool bFromTrayMenu) = 0;
    // A capture has run, so "Repeat Last" has something to repeat.
    virtual bool CanRepeatLast() const = 0;
    // The hotkey table the hook library holds (35 words), or null before it has one.
    virtual const std::uint16_t* HotkeyTable() const = 0;
    // Hands the hook library a new table (35 words); its hotkeys work at once. False when some
    // entry could not be taken (HotkeyStatus says which).
    virtual bool SetHotkeyTable(const std::uint16_t* pTable) = 0;
    // The hook library's state of one entry (QRZ_HOTKEY_*).
    virtual int HotkeyStatus(int nIndex) const = 0;
};
