// SPDX-License-Identifier: MIT
// CCaptureEngine: runs the capture actions of the main frame: gets the main window out of the
// way, waits for the screen to settle, takes the region at once or through a picker on a frozen
// copy of the screen, grabs, paints the pointer in, delivers, plays the sound and brings the
// main window back. Hotkeys and the picker's input come from the hook library.
#pragma once

#include "capture/CaptureRegion.h"
#include "capture/RegionTracker.h"
#include "capture/engine/CaptureActions.h"
#include "capture/x11/CursorImage.h"

#include <QElapsedTimer>
#include <QObject>
#include <QPointer>
#include <QString>

#include <array>
#include <cstdint>
#include <memory>
#include <optional>

class CCaptureOverlay;
class CCaptureSound;
class CFrozenDesktopQueries;
class CPortalScreenshot;
class CPortalShortcuts;
class CImageBitmap;
class CScreenGrabber;
class CX11Connection;
class CX11DesktopQueries;
class ICaptureHost;
class QSocketNotifier;

class CCaptureEngine : public QObject {
    Q_OBJECT

public:
    // Fixed waits of the capture path, in milliseconds.
    static constexpr int kHideWaitMs = 40;
    static constexpr int kSettleWaitMs = 300; // plus "CaptureDelayTime"
    static constexpr int kGrabWaitMs = 100;

    enum class EState { Idle, Preparing, Picking, Grabbing };

    explicit CCaptureEngine(ICaptureHost& host, QObject* pParent = nullptr);
    ~CCaptureEngine() override;

    // Connects to the X server (null: $DISPLAY) and installs the hotkeys of the settings'
    // table. False when there is no X server; captures then do nothing. In a Wayland session the
    // screen comes from the desktop portal instead, and hotkeys are installed where an X server
    // (XWayland) lets them.
    bool Initialize(const char* pszDisplay = nullptr);
    // Captures go through the desktop portal (a Wayland session).
    bool UsesPortal() const noexcept { return m_pPortal != nullptr; }
    // A capture the user bound to a key of the desktop's own (quorvi-studio --capture):
    // started as a hotkey would be; the triangle and icon-sized actions too.
    bool StartFromShortcut(int nAction);

    // Where a capture command came from: the tray menu's keyboard grab and window stand in the
    // way of the window captures, which are refused from there.
    enum class EOrigin { MenuOrToolbar, TrayMenu };

    // A capture command from a menu, the toolbar or the tray menu. False for other ids and when
    // a capture is already running.
    bool StartCommand(unsigned nCommandID, EOrigin origin = EOrigin::MenuOrToolbar);
    // The hook's hotkey message: action index 0 to 12 (11 Repeat Last, 12 Default).
    void OnHotkey(int nAction);

    bool CanRepeatLast() const noexcept { return m_nLastAction.has_value(); }
    // The hook library's hotkey table (35 words), or null before the hotkeys are installed;
    // SetHotkeyTable replaces it.
    const std::uint16_t* HotkeyTable() const;
    bool SetHotkeyTable(const std::uint16_t* pTable);
    // The hook library's state of one entry (QRZ_HOTKEY_*).
    int HotkeyStatus(int nIndex) const;

    // What a user of a Wayland session needs to know about capture keys: whether the desktop's
    // global shortcuts took the hotkeys, or how to bind a capture command instead. Empty on X11.
    QString KeyBindingNote() const;
    static constexpr auto kBindCommandNote =
        "Wayland session: captures go through the desktop portal. To capture with a key, bind "
        "\"quorvi-studio --capture ACTION\" in the desktop's keyboard settings.";

    EState State() const noexcept { return m_state; }
    bool IsBusy() const noexcept { return m_state != EState::Idle; }
    CRegionTracker& Tracker() noexcept { return m_tracker; }
    CCaptureOverlay* Overlay() const noexcept { return m_pOverlay.get(); }
    // The pointer as the picker last saw it, root coordinates.
    capture::Point PointerSeen() const noexcept { return m_ptPointer; }
    // The bitmap being delivered, else null.
    const CImageBitmap* CaptureBitmap() const noexcept { return m_pCapture.get(); }

    // Hook messages (public for the library's callback).
    void OnHookMessage(std::uint32_t nMessage, std::uint32_t wParam, std::uint32_t lParam);

signals:
    // A capture was grabbed and delivered.
    void captured();
    // An action ended without a capture (cancelled, nothing to capture, refused).
    void actionEnded();
    // KeyBindingNote() changed.
    void keyBindingChanged();

private:
    void RunAction(int nAction);
    void RunImmediate(const capture::CaptureActionInfo& info);
    void RunPicker(const capture::CaptureActionInfo& info);
    void RunDesktop(const capture::CaptureActionInfo& info);
    void RunMenu(const capture::CaptureActionInfo& info);
    void RunPortal(const capture::CaptureActionInfo& info);
    bool InitializePortal(const char* pszDisplay);
    void InstallHotkeys(const char* pszDisplay);
    void BindDesktopShortcuts(const std::uint16_t* pTable);
    void OnDesktopShortcut(const QString& strId);
    void ContinuePortal();
    void OnPortalCaptured();
    void OnPortalFailed();
    void BeginPicking();
    void OnOverlayMouse(const capture::MouseInput& input);
    // Hides the main window, lets the screen settle, then calls next.
    void Prepare(bool bPicker, void (CCaptureEngine::*next)());
    void AfterHide();
    void AfterSettle();
    void ContinueImmediate();
    void ContinueMenu();
    void ContinueDesktop();
    void ContinuePicker();
    bool PointerWanted(bool bPicker) const;
    void PaintPointer();
    bool Freeze();
    void Grab(const capture::CaptureRegion& region);
    void GrabPending();
    // Clears the hotkey and tray-menu marks: the end of every action handler.
    void EndAction();
    // Back to idle without a capture, telling the user why when nMessageID is a string id.
    void AbandonAction(unsigned nMessageID = 0);
    void AbandonAction(const QString& strMessage);
    void RestoreMainWindow();
    void Refuse(unsigned nStringID, int nHotkeyAction, bool bShowFirst);
    void OnMouse(std::uint32_t wParam, std::uint32_t lParam);
    void OnPickerKey(int nVirtKey);
    void ApplyPickerResponse(const capture::PickerResponse& response);
    void CancelPicking();
    void StopPicking();
    void InstallHookWatch();
    std::uint32_t DelayMs() const;

    ICaptureHost& m_host;
    std::unique_ptr<CX11Connection> m_pConn;
    std::unique_ptr<CScreenGrabber> m_pGrabber;
    std::unique_ptr<CX11DesktopQueries> m_pQueries;
    std::unique_ptr<CCaptureOverlay> m_pOverlay;
    std::unique_ptr<CCaptureSound> m_pSound;
    std::unique_ptr<CPortalScreenshot> m_pPortal;
    std::unique_ptr<CFrozenDesktopQueries> m_pFrozenQueries;
    std::unique_ptr<CPortalShortcuts> m_pShortcuts;
    bool m_bHookConnected = false;
    QElapsedTimer m_answerTimer; // from the portal's picture read to the overlay painted
    double m_dAnswerCpuMs = 0;
    QPointer<QSocketNotifier> m_pHookNotifier;
    CRegionTracker m_tracker;

    EState m_state = EState::Idle;
    std::optional<capture::CaptureActionInfo> m_current;
    void (CCaptureEngine::*m_pfnNext)() = nullptr;
    std::optional<int> m_nLastAction; // drives Repeat Last
    bool m_bHotkeyCapture = false;
    bool m_bFromTrayMenu = false;
    std::optional<CursorImage> m_cursor;     // the pointer painted into the capture
    bool m_bPointerWanted = false;           // for the capture being prepared
    std::unique_ptr<CImageBitmap> m_pFrozen; // the screen while picking
    capture::Rect m_rcFrozen;
    std::unique_ptr<CImageBitmap> m_pCapture;
    capture::CaptureRegion m_region; // the region waiting for its grab
    capture::Point m_ptPointer;
    mutable std::array<std::uint16_t, 35> m_hotkeys{};
    bool m_bHotkeysInstalled = false;
};
