// SPDX-License-Identifier: MIT
// CStatusPanes: the main window's four status-bar panes (0 messages, 1 mouse position, 2 colour
// depth, 3 image size) on its CPaneStatusBar, and the progress bar that stands in for pane 0
// while an operation runs. It is also the message pane and the progress the documents report to.
#pragma once

#include "framework/UiServices.h"
#include "image/ProgressSink.h"

#include <QBasicTimer>
#include <QElapsedTimer>
#include <QObject>
#include <QString>

#include <array>

class CPaneStatusBar;
class QMainWindow;

class CStatusPanes final : public QObject, public CProgressSink, public IStatusText {
    Q_OBJECT

public:
    // Status-bar pane widths of panes 1 to 3 at the classic 8-point dialog font; they grow with
    // larger fonts so that the texts fit.
    static constexpr std::array<int, 3> kPaneWidths{150, 76, 120};
    // While an operation keeps the event loop busy the bar is painted at most this often.
    static constexpr qint64 kPaintIntervalMs = 100;

    // Gives frame its status bar, pane 0 showing strIdle.
    CStatusPanes(QMainWindow& frame, const CUiServices& ui, const QString& strIdle);
    ~CStatusPanes() override;

    // False when the bar could not be made (the user has been told).
    bool IsCreated() const noexcept { return m_bCreated; }
    CPaneStatusBar& Bar() const noexcept { return *m_pBar; }
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
    void EndProgress();

    QString m_strIdle;
    CPaneStatusBar* m_pBar;
    bool m_bCreated = false;
    QElapsedTimer m_sincePaint; // invalid until the bar's first paint of a run
    int m_nPaintedPercent = -1;
    // Operations run on this thread: when control is back in the event loop, the one that
    // reported progress has ended, whatever its last report said.
    QBasicTimer m_progressEndTimer;
};
