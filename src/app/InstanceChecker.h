// SPDX-License-Identifier: MIT
// CInstanceChecker: one running instance per user. The first start holds a lock in the runtime
// directory and listens on a local socket beside it; a later start finds the lock held, asks the
// first one over the socket to come forward, and ends.
#pragma once

#include "app/ShellServices.h"
#include "platform/InstanceLock.h"

#include <QObject>
#include <QPointer>
#include <QString>

#include <filesystem>
#include <functional>

class CMainFrame;
class QLocalServer;
class QLocalSocket;
class QWidget;

class CInstanceChecker final : public QObject, public IInstanceGuard {
    Q_OBJECT

public:
    // dir: where the lock and the socket live (empty: the user's runtime directory).
    explicit CInstanceChecker(std::filesystem::path dir = {});
    ~CInstanceChecker() override;

    // First: this instance answers later starts by bringing frame forward and opening their
    // files. HandedOver: another instance runs and has been asked to come forward and open
    // `files`. A lock that cannot be taken at all (no usable runtime directory) lets the program
    // run, said once on stderr.
    ERole Claim(CMainFrame& frame, const QStringList& files = {},
                const QString& strCapture = {}) override;
    void SetFileOpener(std::function<void(const QStringList&)> open) override {
        m_open = std::move(open);
    }
    void SetCaptureStarter(std::function<void(const QString&)> start) override {
        m_capture = std::move(start);
    }

    // What a second start asks of the running instance: a minimised main window is restored;
    // the window (or the dialog in front of it) comes forward. A window hidden to a tray stays
    // hidden unless no tray shows the program any more.
    static void ActivateMainWindow(CMainFrame& frame);
    // Asks the window manager to make the window active (as a pager would, so that it is not
    // taken for focus stealing), and raises it.
    static void BringToFront(QWidget& window);

    QString SocketPath() const;

private:
    void OnNewConnection();
    void OnRequestData(QLocalSocket* pSocket);
    void Serve(const QStringList& files);
    void ServeCapture(const QString& strCapture);
    bool AskFirstInstance(const QStringList& files, const QString& strCapture) const;
    bool SendRequest(const QByteArray& line) const;

    std::filesystem::path m_dir;
    platform::CInstanceLock m_lock;
    QLocalServer* m_pServer = nullptr;
    QPointer<CMainFrame> m_pFrame;
    std::function<void(const QStringList&)> m_open;
    std::function<void(const QString&)> m_capture;
};
