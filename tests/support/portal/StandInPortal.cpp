// SPDX-License-Identifier: MIT
// The stand-in portal's adaptors and answers.
#include "support/portal/StandInPortal.h"

#include <QDBusAbstractAdaptor>
#include <QDBusArgument>
#include <QDBusMessage>
#include <QDBusMetaType>
#include <QDBusObjectPath>

namespace testsupport {

// One entry of the portal's a(sa{sv}) shortcut lists.
struct WireShortcut {
    QString strId;
    QVariantMap properties;
};

QDBusArgument& operator<<(QDBusArgument& argument, const WireShortcut& shortcut) {
    argument.beginStructure();
    argument << shortcut.strId << shortcut.properties;
    argument.endStructure();
    return argument;
}

const QDBusArgument& operator>>(const QDBusArgument& argument, WireShortcut& shortcut) {
    argument.beginStructure();
    argument >> shortcut.strId >> shortcut.properties;
    argument.endStructure();
    return argument;
}

} // namespace testsupport

Q_DECLARE_METATYPE(testsupport::WireShortcut)

namespace {

constexpr auto kObject = "/org/freedesktop/portal/desktop";
constexpr auto kShortcutsInterface = "org.freedesktop.portal.GlobalShortcuts";

QString SenderElement(const QString& strSender) {
    QString strElement = strSender.mid(1);
    strElement.replace(u'.', u'_');
    return strElement;
}

} // namespace

namespace testsupport {

// An interface of the stand-in: its calls go to the portal object.
class CStandInAdaptor : public QDBusAbstractAdaptor {
public:
    CStandInAdaptor(QObject* pParent, CStandInPortal& portal)
        : QDBusAbstractAdaptor(pParent), m_portal(portal) {}

protected:
    CStandInPortal& m_portal;
};

class CScreenshotAdaptor : public CStandInAdaptor {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.portal.Screenshot")

public:
    using CStandInAdaptor::CStandInAdaptor;

public slots:
    QDBusObjectPath Screenshot(const QString&, const QVariantMap& options,
                               const QDBusMessage& message) {
        return QDBusObjectPath(m_portal.Screenshot(message.service(), options));
    }
};

class CShortcutsAdaptor : public CStandInAdaptor {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.portal.GlobalShortcuts")

public:
    using CStandInAdaptor::CStandInAdaptor;

public slots:
    QDBusObjectPath CreateSession(const QVariantMap& options, const QDBusMessage& message) {
        return QDBusObjectPath(m_portal.CreateSession(message.service(), options));
    }
    QDBusObjectPath BindShortcuts(const QDBusObjectPath& session,
                                  // Qt's D-Bus finds the slot by this name: written in full.
                                  const QList<testsupport::WireShortcut>& shortcuts, const QString&,
                                  const QVariantMap& options, const QDBusMessage& message) {
        std::vector<CStandInPortal::Binding> bindings;
        for (const WireShortcut& shortcut : shortcuts)
            bindings.push_back({shortcut.strId, shortcut.properties});
        return QDBusObjectPath(m_portal.BindShortcuts(message.service(), session.path(),
                                                      std::move(bindings), options));
    }
};

class CSessionAdaptor : public CStandInAdaptor {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.portal.Session")

public:
    CSessionAdaptor(QObject* pParent, CStandInPortal& portal, QString strPath)
        : CStandInAdaptor(pParent, portal), m_strPath(std::move(strPath)) {}

public slots:
    void Close() { m_portal.CloseSession(m_strPath); }

private:
    QString m_strPath;
};

CPrivateBus::CPrivateBus() {
    m_daemon.start(QStringLiteral("dbus-daemon"),
                   {QStringLiteral("--session"), QStringLiteral("--nofork"),
                    QStringLiteral("--print-address=1")});
    if (m_daemon.waitForReadyRead(10000))
        m_strAddress = QString::fromUtf8(m_daemon.readLine()).trimmed();
}

CPrivateBus::~CPrivateBus() {
    for (const QString& strName : m_names)
        QDBusConnection::disconnectFromBus(strName);
    m_daemon.kill();
    m_daemon.waitForFinished();
}

QDBusConnection CPrivateBus::Connect(const QString& strName) {
    m_names.push_back(strName);
    return QDBusConnection::connectToBus(m_strAddress, strName);
}

CStandInPortal::CStandInPortal(QDBusConnection bus, bool bScreenshot, bool bShortcuts)
    : m_bus(std::move(bus)) {
    qDBusRegisterMetaType<WireShortcut>();
    qDBusRegisterMetaType<QList<WireShortcut>>();
    if (bScreenshot)
        new CScreenshotAdaptor(this, *this);
    if (bShortcuts)
        new CShortcutsAdaptor(this, *this);
    m_bRegistered =
        m_bus.registerObject(QString::fromLatin1(kObject), this, QDBusConnection::ExportAdaptors) &&
        m_bus.registerService(QStringLiteral("org.freedesktop.portal.Desktop"));
}

CStandInPortal::~CStandInPortal() {
    m_bus.unregisterService(QStringLiteral("org.freedesktop.portal.Desktop"));
    m_bus.unregisterObject(QString::fromLatin1(kObject));
}

void CStandInPortal::SetScreenshotAnswer(EAnswer answer, const QString& strUri) {
    m_answer = answer;
    m_strUri = strUri;
}

QString CStandInPortal::Respond(const QString& strSender, const QVariantMap& options,
                                uint nResponse, const QVariantMap& results, bool bAnswer) {
    const QString strPath = QStringLiteral("/org/freedesktop/portal/desktop/request/%1/%2")
                                .arg(SenderElement(strSender),
                                     options.value(QStringLiteral("handle_token")).toString());
    if (bAnswer) {
        QDBusMessage response = QDBusMessage::createSignal(
            strPath, QStringLiteral("org.freedesktop.portal.Request"), QStringLiteral("Response"));
        response << nResponse << results;
        m_bus.send(response);
    }
    return strPath;
}

QString CStandInPortal::Screenshot(const QString& strSender, const QVariantMap& options) {
    ++m_nScreenshots;
    const bool bPicture = m_answer == EAnswer::Picture;
    return Respond(strSender, options, bPicture ? 0 : 1,
                   {{QStringLiteral("uri"), bPicture ? m_strUri : QString()}},
                   m_answer != EAnswer::Never);
}

QString CStandInPortal::CreateSession(const QString& strSender, const QVariantMap& options) {
    const QString strSession =
        QStringLiteral("/org/freedesktop/portal/desktop/session/%1/%2")
            .arg(SenderElement(strSender),
                 options.value(QStringLiteral("session_handle_token")).toString());
    auto pSession = std::make_unique<QObject>();
    new CSessionAdaptor(pSession.get(), *this, strSession);
    m_bus.registerObject(strSession, pSession.get(), QDBusConnection::ExportAdaptors);
    m_sessions.push_back(std::move(pSession));
    return Respond(strSender, options, 0, {{QStringLiteral("session_handle"), strSession}});
}

QString CStandInPortal::BindShortcuts(const QString& strSender, const QString& strSession,
                                      std::vector<Binding> bindings, const QVariantMap& options) {
    ++m_nBinds;
    m_strBoundSession = strSession;
    m_bindings = std::move(bindings);
    // The desktop gives each shortcut the keys it was asked for, in words of its own.
    QList<WireShortcut> given;
    for (const Binding& binding : m_bindings) {
        const QString strTrigger =
            binding.properties.value(QStringLiteral("preferred_trigger")).toString();
        given.push_back(
            {binding.strId,
             {{QStringLiteral("description"),
               binding.properties.value(QStringLiteral("description"))},
              {QStringLiteral("trigger_description"),
               strTrigger.isEmpty() ? QString() : QStringLiteral("Press ") + strTrigger}}});
    }
    return Respond(strSender, options, 0,
                   {{QStringLiteral("shortcuts"), QVariant::fromValue(given)}});
}

void CStandInPortal::CloseSession(const QString& strSession) {
    ++m_nClosed;
    if (strSession == m_strBoundSession)
        m_strBoundSession.clear();
}

void CStandInPortal::Activate(const QString& strId, const QString& strSession) {
    QDBusMessage activated = QDBusMessage::createSignal(QString::fromLatin1(kObject),
                                                        QString::fromLatin1(kShortcutsInterface),
                                                        QStringLiteral("Activated"));
    activated << QVariant::fromValue(
                     QDBusObjectPath(strSession.isEmpty() ? m_strBoundSession : strSession))
              << strId << qulonglong(1) << QVariantMap();
    m_bus.send(activated);
}

} // namespace testsupport

#include "StandInPortal.moc"
