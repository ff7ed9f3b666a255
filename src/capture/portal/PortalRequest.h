// SPDX-License-Identifier: MIT
// CPortalRequest: one call to the desktop portal that answers later, with a Response signal on a
// request object of its own (Screenshot, CreateSession, BindShortcuts...). The request object's
// path is known before the call from our bus name and a token of ours, so that the answer cannot
// arrive before we listen for it; the wait for it is bounded.
#pragma once

#include <QDBusConnection>
#include <QObject>
#include <QString>
#include <QVariantList>
#include <QVariantMap>

class QDBusPendingCallWatcher;
class QTimer;

namespace portal {

inline constexpr auto kService = "org.freedesktop.portal.Desktop";
inline constexpr auto kObject = "/org/freedesktop/portal/desktop";
inline constexpr auto kSessionInterface = "org.freedesktop.portal.Session";

// A fresh token, "quorvi" and 8 hex digits: a valid last element of an object path.
QString NewToken();
// The session object the portal creates for session_handle_token on this connection.
QString SessionPath(const QDBusConnection& bus, const QString& strToken);

} // namespace portal

class CPortalRequest : public QObject {
    Q_OBJECT

public:
    explicit CPortalRequest(QDBusConnection bus, QObject* pParent = nullptr);
    ~CPortalRequest() override;

    // Calls strMethod of strInterface on the portal with arguments and then options, to which a
    // handle_token is added. One of answered() or failed() follows, never before this returns.
    // False (and nothing follows) while the last request is still open.
    bool Send(const QString& strInterface, const QString& strMethod, const QVariantList& arguments,
              QVariantMap options, int nTimeoutMs);
    bool IsOpen() const noexcept { return m_bOpen; }
    // Stops waiting; nothing follows.
    void Abandon();

signals:
    // The portal's answer: 0 done, 1 refused or cancelled by the user, 2 any other end.
    void answered(uint nResponse, const QVariantMap& results);
    // No portal (or not this interface) on the bus, or no answer in time (bNoAnswer).
    void failed(bool bNoAnswer, const QString& strDetail);

private slots:
    void OnResponse(uint nResponse, const QVariantMap& results);

private:
    void OnCallFinished(QDBusPendingCallWatcher* pWatcher);
    bool Watch(const QString& strPath);
    void Unwatch();
    void Fail(bool bNoAnswer, const QString& strDetail);

    QDBusConnection m_bus;
    QString m_strRequestPath; // the request object whose Response is awaited
    QTimer* m_pTimeout = nullptr;
    const QDBusPendingCallWatcher* m_pPending = nullptr; // the call of the open request
    bool m_bOpen = false;
};
