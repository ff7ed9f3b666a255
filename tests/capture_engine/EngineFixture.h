// SPDX-License-Identifier: MIT
// Fixture of the capture engine tests: the process's X server, a main window standing in for
// the main frame, scripted message boxes, an XTest client and the windows of "another program".
#pragma once

#include "X11TestWindows.h"
#include "capture/engine/CaptureEngine.h"
#include "capture/engine/CaptureHost.h"
#include "framework/MessageBoxes.h"
#include "framework/UiServices.h"
#include "image/MemoryBitmap.h"
#include "platform/AppSettings.h"
#include "support/ScriptedMessageBoxes.h"
#include "support/XClient.h"
#include "support/XServer.h"

#include <QWidget>

#include <gtest/gtest.h>

#include <deque>
#include <functional>
#include <memory>
#include <vector>

void StartEngineTestServer();
void StopEngineTestServer();
// Null when the tests run without an X server.
testsupport::CXServer* EngineTestServer();

// Runs the event loop until pred holds or timeoutMs pass.
bool PumpEvents(const std::function<bool()>& pred, int timeoutMs = 5000);

// The main frame's part: settings, a visible main window, deliveries recorded as copies.
class CTestCaptureHost : public ICaptureHost {
public:
    CTestCaptureHost();
    platform::CAppSettings& Settings() override { return m_settings; }
    const CUiServices& Ui() override { return m_ui; }
    QWidget* MainWindow() override { return &m_main; }
    void ShowAfterCapture() override;
    void HideForCapture() override;
    void KeepWindowState() override { m_bVisibleBefore = m_main.isVisible(); }
    void RestoreWindowState() override { m_main.setVisible(m_bVisibleBefore); }
    QString HotkeyText(int nAction) override;
    QString ActionCaption(int nAction) override { return QStringLiteral("Action%1").arg(nAction); }
    void DeliverCapture(const CImageBitmap& bitmap) override;

    platform::CAppSettings m_settings;
    CUiServices m_ui;
    QWidget m_main;
    std::vector<std::unique_ptr<CMemoryBitmap>> m_delivered;
    std::vector<bool> m_mainVisibleAtDelivery;
    int m_nShown = 0;
    int m_nHidden = 0;
    bool m_bVisibleBefore = false;
};

class CEngineTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    static bool PumpUntil(const std::function<bool()>& pred, int timeoutMs = 5000) {
        return PumpEvents(pred, timeoutMs);
    }
    static void PumpFor(int ms);
    // Waits for the next capture or end of an action; true when a capture was delivered.
    bool WaitForOutcome(std::size_t nDeliveredBefore, int timeoutMs = 5000);
    bool WaitPicking() {
        return PumpUntil([&] { return m_pEngine->State() == CCaptureEngine::EState::Picking; });
    }
    // Moves the pointer and waits until the picker has seen it there.
    void MoveAndWait(int x, int y);
    void ClickAt(int x, int y);
    // Makes a managed window of "another program" the active one.
    void Activate(xcb_window_t window);
    // The window manager's frame of a client, from the root's child holding it.
    capture::Rect FrameOf(xcb_window_t client) const;
    capture::Rect ClientRectOf(xcb_window_t client) const;
    // The pointer position the engine last saw.
    const CImageBitmap& LastCapture() const { return *m_host.m_delivered.back(); }

    CTestCaptureHost m_host;
    testsupport::CScriptedMessageBoxes m_boxes;
    std::unique_ptr<CCaptureEngine> m_pEngine;
    std::unique_ptr<testsupport::CXClient> m_pClient;
    xcb_connection_t* m_peer = nullptr; // "another program"
    xcb_window_t m_root = XCB_NONE;
    int m_nOutcomes = 0;
};

// Counts pixels of `area` (bitmap coordinates) that differ from the pattern of a window whose
// pixel (0, 0) lies at bitmap point windowAt.
int PatternMismatches(const CImageBitmap& b, capture::Rect area, capture::Point windowAt, int seed);
RGBQuad PixelAt(const CImageBitmap& b, int x, int y);
