// SPDX-License-Identifier: MIT
// CStatusPanes: the main window's four status-bar panes (0 messages, 1 mouse position, 2 colour
// depth, 3 image size) and the progress bar that stands in for pane 0 while an operation runs.
// It is also the message pane and the progress the documents report to.
#pragma once

#include "framework/UiServices.h"
#include "image/ProgressSink.h"

#include <QBasicTimer>
#include <QObject>
#include <QString>

#include <array>
#include <memory>

class CStatusBarProgress;
class QLabel;
class QStatusBar;

class CStatusPanes final : public QObject, public CProgressSink, public IStatusText {
    Q_OBJECT

public:
    // Status-bar pane widths of panes 1 to 3 at the classic 8-point dialog font; they grow with
    // larger fonts so that the texts fit.
    static constexpr std::array<int, 3> kPaneWidths{150, 76, 120};

    // Adds the panes to pBar, pane 0 showing strIdle.
    CStatusPanes(QStatusBar* pBar, const QString& strIdle);
    ~CStatusPanes() override;

    QLabel* Pane(int nPane) const;
    // No image window is active: panes 1 to 3 are empty and pane 0 shows the idle message.
    void ShowNoImage();
    // Pane 0 gets at least the width of the widest of these texts (the command prompts).
    void FitMessagePane(const QStringList& texts);
    void SetPaneText(int nPane, const QString& strText);
    QString PaneText(int nPane) const;

    // CProgressSink: a bar from 0 to 100 in pane 0 while an operation runs.
    void SetProgress(double dFraction) override;
    bool IsProgressShowing() const;

    // IStatusText: pane 0.
    void SetMessageText(const QString& strText) override { SetPaneText(0, strText); }

protected:
    void timerEvent(QTimerEvent* pEvent) override;

private:
    QString m_strIdle;
    std::array<QLabel*, 4> m_panes{};
    std::unique_ptr<CStatusBarProgress> m_pProgress;
    // Operations run on this thread: when control is back in the event loop, the one that
    // reported progress has ended, whatever its last report said.
    QBasicTimer m_progressEndTimer;
};
