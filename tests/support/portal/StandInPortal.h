// SPDX-License-Identifier: MIT
// A private session bus and a stand-in desktop portal on it, playing the Screenshot and
// GlobalShortcuts interfaces the way the tests ask: a picture, a refusal or silence for
// screenshots; sessions, bindings and key presses for shortcuts.
#pragma once

#include <QDBusConnection>
#include <QObject>
#include <QProcess>
#include <QString>
#include <QVariantMap>

#include <memory>
#include <vector>

namespace testsupport {

// dbus-daemon --session of the test's own; stopped with the object.
class CPrivateBus {
public:
    CPrivateBus();
    ~CPrivateBus();
    bool IsRunning() const { return !m_strAddress.isEmpty(); }
    const QString& Address() const noexcept { return m_strAddress; }
    // A connection of its own under a name (disconnected with the bus).
    QDBusConnection Connect(const QString& strName);

private:
    QProcess m_daemon;
    QString m_strAddress;
    std::vector<QString> m_names;
};

class CStandInPortal : public QObject {
    Q_OBJECT

public:
    enum class EAnswer { Picture, Cancel, Never };
    struct Binding {
        QString strId;
        QVariantMap properties; // description, preferred_trigger
    };

    // Puts the portal on the bus with the interfaces asked for; IsRegistered() says whether the
    // bus took it.
    CStandInPortal(QDBusConnection bus, bool bScreenshot, bool bShortcuts);
    ~CStandInPortal() override;
    bool IsRegistered() const noexcept { return m_bRegistered; }

    // Screenshot
    void SetScreenshotAnswer(EAnswer answer, const QString& strUri = {});
    int ScreenshotCalls() const noexcept { return m_nScreenshots; }

    // GlobalShortcuts: what the last BindShortcuts bound, the sessions closed so far, and a key
    // press of a bound shortcut sent to the session that bound it (or to another session).
    const std::vector<Binding>& Bindings() const noexcept { return m_bindings; }
    const QString& BoundSession() const noexcept { return m_strBoundSession; }
    int BindCalls() const noexcept { return m_nBinds; }
    int ClosedSessions() const noexcept { return m_nClosed; }
    void Activate(const QString& strId, const QString& strSession = {});

    // The portal's side of the calls, reached through its adaptors.
    QString Screenshot(const QString& strSender, const QVariantMap& options);
    QString CreateSession(const QString& strSender, const QVariantMap& options);
    QString BindShortcuts(const QString& strSender, const QString& strSession,
                          std::vector<Binding> bindings, const QVariantMap& options);
    void CloseSession(const QString& strSession);

private:
    QString Respond(const QString& strSender, const QVariantMap& options, uint nResponse,
                    const QVariantMap& results, bool bAnswer = true);

    QDBusConnection m_bus;
    bool m_bRegistered = false;
    EAnswer m_answer = EAnswer::Picture;
    QString m_strUri;
    int m_nScreenshots = 0;
    std::vector<Binding> m_bindings;
    QString m_strBoundSession;
    std::vector<std::unique_ptr<QObject>> m_sessions;
    int m_nBinds = 0;
    int m_nClosed = 0;
};

} // namespace testsupport
