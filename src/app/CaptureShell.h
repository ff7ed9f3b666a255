// SPDX-License-Identifier: MIT
// CCaptureShell: the capture engine inside the desktop program: the main frame's capture
// commands and hotkeys, showing and hiding the frame around captures, delivery into a new image
// window or onto the clipboard, and the new image window's capture outputs.
#pragma once

#include "app/ShellServices.h"
#include "capture/engine/CaptureEngine.h"
#include "capture/engine/CaptureHost.h"

#include <QPointer>
#include <QRect>

class CMainFrame;
class CTavixCaptureApp;
class CTavixCaptureView;
class QMdiSubWindow;

class CCaptureShell : public ICaptureEngine, public ICaptureHost {
public:
    CCaptureShell(CTavixCaptureApp& app, CMainFrame& frame);

    // Connects to the X server and installs the hotkeys; false without X (no captures then).
    bool Initialize();
    CCaptureEngine& Engine() noexcept { return m_engine; }

    // The new image window of a capture: clipboard, automatic save, print, as "OptionsA" asks.
    void RunCaptureOutput(CTavixCaptureView& view);

    // ICaptureEngine
    void StartCapture(unsigned nCommandID, bool bFromTrayMenu) override;
    bool CanRepeatLast() const override { return m_engine.CanRepeatLast(); }
    const std::uint16_t* HotkeyTable() const override { return m_engine.HotkeyTable(); }
    bool SetHotkeyTable(const std::uint16_t* pTable) override {
        return m_engine.SetHotkeyTable(pTable);
    }
    int HotkeyStatus(int nIndex) const override { return m_engine.HotkeyStatus(nIndex); }

    // ICaptureHost
    platform::CAppSettings& Settings() override;
    const CUiServices& Ui() override;
    QWidget* MainWindow() override;
    void ShowAfterCapture() override;
    void HideForCapture() override;
    void KeepWindowState() override;
    void RestoreWindowState() override;
    QString HotkeyText(int nAction) override;
    QString ActionCaption(int nAction) override;
    void DeliverCapture(const CImageBitmap& bitmap) override;

    bool IsHiddenForCapture() const noexcept { return m_bHiddenForCapture; }

private:
    // Window managers place a window that is mapped again as if it were new: it goes back where
    // it was before the capture hid it.
    void PlaceAsBeforeCapture();

    CTavixCaptureApp& m_app;
    CMainFrame& m_frame;
    CCaptureEngine m_engine;
    bool m_bHiddenForCapture = false;
    // The main window as the running action found it.
    bool m_bVisibleBefore = false;
    bool m_bMaximizedBefore = false;
    QRect m_rcBefore; // empty: not known
    QPointer<QMdiSubWindow> m_pActiveBefore;
};
