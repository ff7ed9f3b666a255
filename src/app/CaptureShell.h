// SPDX-License-Identifier: MIT
// CCaptureShell: the capture engine inside the desktop program: the main frame's capture
// commands and hotkeys, showing and hiding the frame around captures, delivery into a new image
// window or onto the clipboard, and the new image window's capture outputs.
#pragma once

#include "app/ShellServices.h"
#include "capture/engine/CaptureEngine.h"
#include "capture/engine/CaptureHost.h"

class CMainFrame;
class CTavixCaptureApp;
class CTavixCaptureView;

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

    // ICaptureHost
    platform::CAppSettings& Settings() override;
    const CUiServices& Ui() override;
    QWidget* MainWindow() override;
    void ShowAfterCapture() override;
    void HideForCapture() override;
    QString HotkeyText(int nAction) override;
    void DeliverCapture(const CImageBitmap& bitmap) override;

    bool IsHiddenForCapture() const noexcept { return m_bHiddenForCapture; }

private:
    CTavixCaptureApp& m_app;
    CMainFrame& m_frame;
    CCaptureEngine m_engine;
    bool m_bHiddenForCapture = false;
};
