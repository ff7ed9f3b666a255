// SPDX-License-Identifier: MIT
// CShellOpener: opens a web address, a mail address, a file or a folder in the desktop's program
// for it (browser, mailer, file manager) through xdg-open, and tells the user when that fails.
#pragma once

#include <QObject>
#include <QString>

#include <functional>

class CUiServices;
class QUrl;

class CShellOpener final : public QObject {
    Q_OBJECT

public:
    // xdg-open hands some targets to a program and waits until that program ends: still running
    // after this long, it has started one, and the target counts as opened (a failure it reports
    // later is still told).
    static constexpr int kStillRunningMs = 3000;

    // Failures are told through ui, which must outlive the opener.
    explicit CShellOpener(const CUiServices& ui, QObject* pParent = nullptr);
    ~CShellOpener() override;

    // Starts xdg-open with the target as its one argument (never through a shell) and returns
    // at once. When it has opened, onOpened runs, unless pContext has gone by then. A failure
    // beeps and shows "Can't open link:" with the reason.
    void Open(const QString& strTarget, QObject* pContext = nullptr,
              std::function<void()> onOpened = {});
    // Local files go as paths; other addresses, and files with an anchor, as URLs.
    void Open(const QUrl& url, QObject* pContext = nullptr, std::function<void()> onOpened = {});

    // The reason shown for a failure code of the opener's table (2 "The specified file was not
    // found.", 31 "There is no application associated ...", others "Unknown Error (%d)
    // occurred.").
    static QString ErrorText(int nCode);
    // The code of that table for an exit status of xdg-open other than 0.
    static int CodeForExitStatus(int nExitStatus);

private:
    void ReportFailure(int nCode) const;

    const CUiServices& m_ui;
};
