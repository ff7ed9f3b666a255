// SPDX-License-Identifier: MIT
// The desktop program started for a test: its own settings hive in a temporary folder, the main
// frame shown on the offscreen platform, and message boxes answered from a script.
#pragma once

#include "app/MainFrame.h"
#include "app/ShellServices.h"
#include "app/StatusPanes.h"
#include "app/TavixCaptureApp.h"
#include "app/TrayPolicy.h"
#include "framework/MessageBoxes.h"
#include "support/ScriptedMessageBoxes.h"
#include "support/TempXdgTest.h"

#include <QImage>
#include <QString>

#include <deque>
#include <filesystem>
#include <functional>
#include <memory>
#include <vector>

class CTavixCaptureDoc;
class CTavixCaptureView;

namespace apptest {

class CFakeTray final : public ITrayIcon {
public:
    bool IsAvailable() const override { return m_bAvailable; }
    void ShowMessage(const QString&, const QString& strText) override { m_messages << strText; }
    bool m_bAvailable = true;
    QStringList m_messages;
};

class AppTest : public testsupport::CTempXdgTest {
protected:
    void SetUp() override;
    void TearDown() override;

    // Starts the program; dwOptionsA is written to the hive first (0: the defaults).
    void Start(std::uint32_t dwOptionsA = 0, ITrayIcon* pTray = nullptr);
    CMainFrame& Frame() const { return *m_pApp->MainFrame(); }
    // Runs a command through the main frame's routing; false when it was disabled.
    bool Run(unsigned nID);
    bool IsEnabled(unsigned nID);

    // A PNG of the given size with a pattern of distinct pixels, written to the temp folder.
    std::filesystem::path WritePng(int nWidth, int nHeight,
                                   const QString& strName = QStringLiteral("picture.png"));
    CTavixCaptureDoc* Open(const std::filesystem::path& path);
    // A new untitled document holding a copy of the image (modified from the start).
    CTavixCaptureDoc* NewDocument(const QImage& image);
    CTavixCaptureView* ActiveView() const;
    // Lets queued events (deferred deletes, posted notifications) run.
    static void ProcessEvents();
    // Runs the event loop until pred holds; false after the timeout.
    static bool WaitUntil(const std::function<bool()>& pred, int nTimeoutMs = 5000);

    std::unique_ptr<CTavixCaptureApp> m_pApp;
    testsupport::CScriptedMessageBoxes m_boxes;
};

} // namespace apptest
