// SPDX-License-Identifier: MIT
// CPortalShortcuts: the capture hotkeys registered with the desktop portal's GlobalShortcuts
// interface, the way a program gets global keys in a Wayland session, where it may not grab them
// itself. A session is created, the shortcuts are bound to it (the desktop may ask the user and
// choose other keys), and the portal then says which shortcut was pressed. A session's shortcuts
// are bound once: new ones replace the session.
#pragma once

#include <QDBusConnection>
#include <QHash>
#include <QObject>
#include <QString>
#include <QVariantMap>

#include <cstdint>
#include <vector>

class CPortalRequest;
class QDBusObjectPath;

class CPortalShortcuts : public QObject {
    Q_OBJECT

public:
    struct Shortcut {
        QString strId;          // what activated() names
        QString strDescription; // what the desktop's settings show
        // The keys we would like ("CTRL+SHIFT+c"); empty: the desktop's choice.
        QString strTrigger;
        bool operator==(const Shortcut&) const = default;
    };
    enum class EState { Idle, Binding, Bound, Unavailable };

    // The desktop may show a dialog for the binding: long enough for a user to answer it.
    static constexpr int kDefaultAnswerTimeoutMs = 120000;

    explicit CPortalShortcuts(QDBusConnection bus = QDBusConnection::sessionBus(),
                              QObject* pParent = nullptr);
    ~CPortalShortcuts() override;

    void SetAnswerTimeout(int nMs) noexcept { m_nTimeoutMs = nMs; }
    // Registers these shortcuts in place of any earlier ones; bound() or unavailable() follows.
    // The same shortcuts again change nothing (the desktop would ask its user once more).
    void Bind(std::vector<Shortcut> shortcuts);
    EState State() const noexcept { return m_state; }
    // The keys the desktop gave a shortcut, in its own words ("Ctrl+Shift+C"); empty when it gave
    // none or did not say.
    QString TriggerOf(const QString& strId) const { return m_triggers.value(strId); }
    // Why the shortcuts are unavailable, for the user.
    QString FailureText() const { return m_strFailure; }

signals:
    void activated(const QString& strId);
    void bound();
    void unavailable();

private slots:
    void OnActivated(const QDBusObjectPath& session, const QString& strId, qulonglong nTimestamp,
                     const QVariantMap& options);

private:
    void OpenSession();
    void CloseSession();
    void OnSessionAnswer(uint nResponse, const QVariantMap& results);
    void OnBindAnswer(uint nResponse, const QVariantMap& results);
    void OnRequestFailed(bool bNoAnswer, const QString& strDetail);
    void Fail(const QString& strText);

    QDBusConnection m_bus;
    CPortalRequest* m_pRequest = nullptr;
    int m_nTimeoutMs = kDefaultAnswerTimeoutMs;
    EState m_state = EState::Idle;
    enum class EStep { None, CreateSession, BindShortcuts } m_step = EStep::None;
    std::vector<Shortcut> m_shortcuts;
    bool m_bRebind = false; // new shortcuts came while a request was open
    QString m_strSession;   // the session object's path; empty without one
    QHash<QString, QString> m_triggers;
    QString m_strFailure;
};

namespace capture {

// A stored hotkey word written the way desktop portals take shortcut triggers: "ALT+Print",
// "CTRL+SHIFT+ALT+c", "F9"; empty for a word without a key.
QString ShortcutTrigger(std::uint16_t word);

} // namespace capture
