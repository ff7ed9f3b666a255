// SPDX-License-Identifier: MIT
// The Qt implementations of the user-interface services: message boxes, the wait cursor, the
// status text, the progress bar of the status bar and the file prompts.
#pragma once

#include "framework/UiServices.h"

#include <QElapsedTimer>
#include <QPointer>

class QLabel;
class QProgressBar;
class QStatusBar;
class QWidget;

class CQtMessageBoxes final : public IMessageBoxes {
public:
    // Boxes are modal to the active window.
    EMsgResult Show(const MessageBoxRequest& request) override;
};

class CQtWaitCursor final : public IWaitCursor {
public:
    void Begin() override;
    void End() override;
};

// The message pane as a label of the status bar; status tips of menus and buttons show over it
// for a moment and leave it as it was.
class CLabelStatusText final : public IStatusText {
public:
    explicit CLabelStatusText(QLabel* pLabel) : m_pLabel(pLabel) {}
    void SetMessageText(const QString& strText) override;

private:
    QPointer<QLabel> m_pLabel;
};

// Progress from 0 to 1 as a bar from 0 to 100 in place of the message pane: it appears with the
// first report, is repainted at once (the work keeps the event loop busy) and goes at 100.
// Repaints come at most every kPaintIntervalMs (ten a second look smooth): a decoder reports
// every few rows, and painting the bar (about a millisecond with its stripes) for each report
// would add a third to the decoding time.
class CStatusBarProgress final : public CProgressSink {
public:
    CStatusBarProgress(QStatusBar* pStatusBar, QWidget* pMessagePane);
    void SetProgress(double dFraction) override;
    bool IsShowing() const;

    static constexpr qint64 kPaintIntervalMs = 100;

private:
    QPointer<QStatusBar> m_pStatusBar;
    QPointer<QWidget> m_pMessagePane;
    QPointer<QProgressBar> m_pBar;
    QElapsedTimer m_sincePaint; // invalid until the bar's first paint of a run
    int m_nPaintedPercent = -1;
};

class CQtFileDialogs final : public IFileDialogs {
public:
    std::optional<QString> PromptFileName(const FilePrompt& prompt) override;
    QStringList PromptFileNames(const FilePrompt& prompt) override;
};
