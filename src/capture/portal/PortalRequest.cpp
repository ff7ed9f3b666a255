// SPDX-License-Identifier: MIT
// A portal call and its later answer.
#include "capture/portal/PortalRequest.h"

#include <QDBusMessage>
#include <QDBusObjectPath>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QRandomGenerator>
#include <QTimer>

namespace portal {

namespace {

constexpr auto kRequestInterface = "org.freedesktop.portal.Request";

// ":1.42" -> "1_42"
QString SenderElement(const QDBusConnection& bus) {
    QString strSender = bus.baseService().mid(1);
    strSender.replace(u'.', u'_');
    return strSender;
}

QString RequestPath(const QDBusConnection& bus, const QString& strToken) {
    return QStringLiteral("/org/freedesktop/portal/desktop/request/%1/%2")
        .arg(SenderElement(bus), strToken);
}

} // namespace

QString NewToken() {
    return QStringLiteral("quorvi%1")
        .arg(QRandomGenerator::global()->generate(), 8, 16, QChar(u'0'));
}

QString SessionPath(const QDBusConnection& bus, const QString& strToken) {
    return QStringLiteral("/org/freedesktop/portal/desktop/session/%1/%2")
        .arg(SenderElement(bus), strToken);
}

} // namespace portal

CPortalRequest::CPortalRequest(QDBusConnection bus, QObject* pParent)
    : QObject(pParent), m_bus(std::move(bus)), m_pTimeout(new QTimer(this)) {
    m_pTimeout->setSingleShot(true);
    connect(m_pTimeout, &QTimer::timeout, this, [this] { Fail(true, {}); });
}

CPortalRequest::~CPortalRequest() {
    Unwatch();
}

bool CPortalRequest::Send(const QString& strInterface, const QString& strMethod,
                          const QVariantList& arguments, QVariantMap options, int nTimeoutMs) {
    if (m_bOpen)
        return false;
    m_bOpen = true;
    if (!m_bus.isConnected()) {
        // Said after the caller has connected to the signals, like every other answer.
        QTimer::singleShot(0, this, [this] { Fail(false, m_bus.lastError().message()); });
        return true;
    }
    const QString strToken = portal::NewToken();
    Watch(portal::RequestPath(m_bus, strToken));
    options.insert(QStringLiteral("handle_token"), strToken);
    QDBusMessage call =
        QDBusMessage::createMethodCall(portal::kService, portal::kObject, strInterface, strMethod);
    for (const QVariant& argument : arguments)
        call << argument;
    call << options;
    auto* pWatcher = new QDBusPendingCallWatcher(m_bus.asyncCall(call, nTimeoutMs), this);
    m_pPending = pWatcher;
    connect(pWatcher, &QDBusPendingCallWatcher::finished, this, &CPortalRequest::OnCallFinished);
    m_pTimeout->start(nTimeoutMs);
    return true;
}

void CPortalRequest::Abandon() {
    m_pTimeout->stop();
    Unwatch();
    m_bOpen = false;
}

void CPortalRequest::OnCallFinished(QDBusPendingCallWatcher* pWatcher) {
    pWatcher->deleteLater();
    const QDBusPendingReply<QDBusObjectPath> reply = *pWatcher;
    // The reply to an earlier call can come after its answer, when the next call has been sent.
    if (!m_bOpen || pWatcher != m_pPending)
        return;
    if (reply.isError()) {
        const QDBusError error = reply.error();
        Fail(error.type() == QDBusError::NoReply || error.type() == QDBusError::Timeout,
             error.message());
        return;
    }
    // Portals older than the handle token choose their own path.
    const QString strPath = reply.value().path();
    if (strPath != m_strRequestPath) {
        Unwatch();
        Watch(strPath);
    }
}

bool CPortalRequest::Watch(const QString& strPath) {
    m_strRequestPath = strPath;
    return m_bus.connect(portal::kService, strPath, portal::kRequestInterface,
                         QStringLiteral("Response"), this, SLOT(OnResponse(uint, QVariantMap)));
}

void CPortalRequest::Unwatch() {
    if (m_strRequestPath.isEmpty())
        return;
    m_bus.disconnect(portal::kService, m_strRequestPath, portal::kRequestInterface,
                     QStringLiteral("Response"), this, SLOT(OnResponse(uint, QVariantMap)));
    m_strRequestPath.clear();
}

void CPortalRequest::OnResponse(uint nResponse, const QVariantMap& results) {
    if (!m_bOpen)
        return;
    Abandon();
    emit answered(nResponse, results);
}

void CPortalRequest::Fail(bool bNoAnswer, const QString& strDetail) {
    if (!m_bOpen)
        return;
    Abandon();
    emit failed(bNoAnswer, strDetail);
}
