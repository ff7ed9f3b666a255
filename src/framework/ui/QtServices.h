// SPDX-License-Identifier: MIT
// The Qt implementations of the user-interface services: message boxes, the wait cursor, the
// status text, the progress bar of the status bar and the file prompts.
#pragma once

#include "framework/UiServices.h"

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
class CStatusBarProgress final : public CProgressSink {
public:
    CStatusBarProgress(QStatusBar* pStatusBar, QWidget* pMessagePane);
    void SetProgress(double dFraction) override;
    bool IsShowing() const;

private:
    QPointer<QStatusBar> m_pStatusBar;
    QPointer<QWidget> m_pMessagePane;
    QPointer<QProgressBar> m_pBar;
};

class CQtFileDialogs final : public IFileDialogs {
public:
    std::optional<QString> PromptFileName(const FilePrompt& prompt) override;
};
