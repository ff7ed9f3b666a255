// SPDX-License-Identifier: MIT
// The GlobalShortcuts session, its binding and its activations.
#include "capture/portal/PortalShortcuts.h"

#include "capture/portal/PortalRequest.h"
#include "image/Trace.h"

#include <QDBusArgument>
#include <QDBusMessage>
#include <QDBusMetaType>
#include <QDBusObjectPath>

namespace {

constexpr auto kInterface = "org.freedesktop.portal.GlobalShortcuts";

// One entry of the portal's a(sa{sv}) shortcut lists.
struct PortalShortcut {
    QString strId;
    QVariantMap properties;
};

} // namespace

Q_DECLARE_METATYPE(PortalShortcut)

namespace {

QDBusArgument& operator<<(QDBusArgument& argument, const PortalShortcut& shortcut) {
    argument.beginStructure();
    argument << shortcut.strId << shortcut.properties;
    argument.endStructure();
    return argument;
}

const QDBusArgument& operator>>(const QDBusArgument& argument, PortalShortcut& shortcut) {
    argument.beginStructure();
    argument >> shortcut.strId >> shortcut.properties;
    argument.endStructure();
    return argument;
}

void RegisterTypes() {
    static const bool bRegistered = [] {
        qDBusRegisterMetaType<PortalShortcut>();
        qDBusRegisterMetaType<QList<PortalShortcut>>();
        return true;
    }();
    (void)bRegistered;
}

// The session handle comes as a string in the portal's documents, as an object path from some
// implementations.
QString SessionHandle(const QVariant& value) {
    if (value.metaType() == QMetaType::fromType<QDBusObjectPath>())
        return value.value<QDBusObjectPath>().path();
    return value.toString();
}

} // namespace

CPortalShortcuts::CPortalShortcuts(QDBusConnection bus, QObject* pParent)
    : QObject(pParent), m_bus(std::move(bus)), m_pRequest(new CPortalRequest(m_bus, this)) {
    RegisterTypes();
    connect(m_pRequest, &CPortalRequest::answered, this,
            [this](uint nResponse, const QVariantMap& results) {
                if (m_step == EStep::CreateSession)
                    OnSessionAnswer(nResponse, results);
                else if (m_step == EStep::BindShortcuts)
                    OnBindAnswer(nResponse, results);
            });
    connect(m_pRequest, &CPortalRequest::failed, this, &CPortalShortcuts::OnRequestFailed);
}

CPortalShortcuts::~CPortalShortcuts() {
    CloseSession();
}

void CPortalShortcuts::Bind(std::vector<Shortcut> shortcuts) {
    if (shortcuts == m_shortcuts && (m_state == EState::Bound || m_state == EState::Binding))
        return;
    m_shortcuts = std::move(shortcuts);
    if (m_pRequest->IsOpen()) {
        m_bRebind = true;
        return;
    }
    OpenSession();
}

void CPortalShortcuts::OpenSession() {
    CloseSession();
    m_bRebind = false;
    m_state = EState::Binding;
    m_step = EStep::CreateSession;
    const QString strToken = portal::NewToken();
    m_pRequest->Send(QString::fromLatin1(kInterface), QStringLiteral("CreateSession"), {},
                     {{QStringLiteral("session_handle_token"), strToken}}, m_nTimeoutMs);
}

void CPortalShortcuts::CloseSession() {
    if (m_strSession.isEmpty())
        return;
    m_bus.disconnect(portal::kService, portal::kObject, kInterface, QStringLiteral("Activated"),
                     this, SLOT(OnActivated(QDBusObjectPath, QString, qulonglong, QVariantMap)));
    m_bus.send(QDBusMessage::createMethodCall(portal::kService, m_strSession,
                                              portal::kSessionInterface, QStringLiteral("Close")));
    m_strSession.clear();
    m_triggers.clear();
}

void CPortalShortcuts::OnSessionAnswer(uint nResponse, const QVariantMap& results) {
    m_strSession =
        nResponse == 0 ? SessionHandle(results.value(QStringLiteral("session_handle"))) : QString();
    if (m_strSession.isEmpty()) {
        Fail(QStringLiteral("The desktop refused a global shortcuts session."));
        return;
    }
    if (m_bRebind) {
        OpenSession();
        return;
    }
    m_bus.connect(portal::kService, portal::kObject, kInterface, QStringLiteral("Activated"), this,
                  SLOT(OnActivated(QDBusObjectPath, QString, qulonglong, QVariantMap)));
    QList<PortalShortcut> list;
    for (const Shortcut& shortcut : m_shortcuts) {
        QVariantMap properties{{QStringLiteral("description"), shortcut.strDescription}};
        if (!shortcut.strTrigger.isEmpty())
            properties.insert(QStringLiteral("preferred_trigger"), shortcut.strTrigger);
        list.push_back({shortcut.strId, properties});
    }
    m_step = EStep::BindShortcuts;
    // No parent window: the program has no Wayland handle to give.
    m_pRequest->Send(
        QString::fromLatin1(kInterface), QStringLiteral("BindShortcuts"),
        {QVariant::fromValue(QDBusObjectPath(m_strSession)), QVariant::fromValue(list), QString()},
        {}, m_nTimeoutMs);
}

void CPortalShortcuts::OnBindAnswer(uint nResponse, const QVariantMap& results) {
    m_step = EStep::None;
    if (m_bRebind) {
        OpenSession();
        return;
    }
    if (nResponse != 0) {
        Fail(QStringLiteral("The desktop refused the capture shortcuts or the user cancelled "
                            "them."));
        return;
    }
    m_triggers.clear();
    const QVariant given = results.value(QStringLiteral("shortcuts"));
    if (given.canConvert<QDBusArgument>()) {
        for (const PortalShortcut& shortcut :
             qdbus_cast<QList<PortalShortcut>>(given.value<QDBusArgument>()))
            m_triggers.insert(
                shortcut.strId,
                shortcut.properties.value(QStringLiteral("trigger_description")).toString());
    }
    m_state = EState::Bound;
    img::Trace("portal: %d capture shortcuts bound\n", int(m_shortcuts.size()));
    emit bound();
}

void CPortalShortcuts::OnRequestFailed(bool bNoAnswer, const QString& strDetail) {
    m_step = EStep::None;
    if (bNoAnswer) {
        Fail(QStringLiteral("The desktop portal did not answer the shortcut registration."));
        return;
    }
    img::Trace("portal: no global shortcuts (%s)\n", qPrintable(strDetail));
    Fail(QStringLiteral("The desktop portal offers no global shortcuts."));
}

void CPortalShortcuts::Fail(const QString& strText) {
    m_step = EStep::None;
    CloseSession();
    m_state = EState::Unavailable;
    m_strFailure = strText;
    emit unavailable();
}

void CPortalShortcuts::OnActivated(const QDBusObjectPath& session, const QString& strId,
                                   qulonglong nTimestamp, const QVariantMap& options) {
    (void)nTimestamp;
    (void)options;
    if (session.path() == m_strSession && m_state == EState::Bound)
        emit activated(strId);
}
