// SPDX-License-Identifier: MIT
// CTerminationSignals: SIGTERM (logout, shutdown, kill), SIGHUP (the terminal gone) and SIGINT
// (Ctrl+C) become a Qt signal on the main thread, so that they end the program through its close
// request and exit path instead of the default action, which writes nothing.
#pragma once

#include <QObject>

#include <array>

class QSocketNotifier;

class CTerminationSignals final : public QObject {
    Q_OBJECT

public:
    // Installs the handlers; one object per process. Without a pipe the signals keep their
    // default action (said on stderr).
    explicit CTerminationSignals(QObject* pParent = nullptr);
    // Restores the default actions.
    ~CTerminationSignals() override;
    CTerminationSignals(const CTerminationSignals&) = delete;
    CTerminationSignals& operator=(const CTerminationSignals&) = delete;

    bool IsActive() const noexcept { return m_pNotifier != nullptr; }

signals:
    // Once per signal received, in order.
    void terminationRequested(int nSignal);

private:
    void OnReadable();

    // The self-pipe: the handler writes the signal number to [1], the event loop reads [0].
    std::array<int, 2> m_fdPipe{-1, -1};
    QSocketNotifier* m_pNotifier = nullptr;
};
