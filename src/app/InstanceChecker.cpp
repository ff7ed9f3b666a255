// SPDX-License-Identifier: MIT
// The single-instance guard.
#include "app/InstanceChecker.h"

#include "app/MainFrame.h"
#include "app/TrayPolicy.h"
#include "image/Trace.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QGuiApplication>
#include <QLocalServer>
#include <QLocalSocket>
#include <QThread>

#include <xcb/xcb.h>

#include <cstdio>
#include <cstdlib>

namespace {

constexpr const char* kLockName = "QuorviStudio.lock";
constexpr const char* kSocketName = "QuorviStudio.socket";
constexpr QByteArrayView kRequest = "activate\n";
constexpr QByteArrayView kAnswer = "done\n";
// How long a second start waits for the first one to take the request and answer.
constexpr int kAnswerTimeoutMs = 3000;

} // namespace

CInstanceChecker::CInstanceChecker(std::filesystem::path dir) : m_dir(std::move(dir)) {}

CInstanceChecker::~CInstanceChecker() {
    if (m_pServer != nullptr)
        m_pServer->close();
}

QString CInstanceChecker::SocketPath() const {
    return QString::fromStdString((m_dir / kSocketName).string());
}

bool CInstanceChecker::IsFirstInstance(CMainFrame& frame) {
    m_pFrame = &frame;
    std::string strError;
    if (m_dir.empty())
        m_dir = platform::RuntimeDir(&strError);
    const auto result = m_dir.empty() ? platform::CInstanceLock::EResult::Failed
                                      : m_lock.TryAcquire(m_dir / kLockName, &strError);
    if (result == platform::CInstanceLock::EResult::Failed) {
        std::fprintf(stderr, "quorvi-studio: no single-instance lock (%s); running anyway.\n",
                     strError.c_str());
        return true;
    }
    if (result == platform::CInstanceLock::EResult::HeldByAnother) {
        if (!AskFirstInstance())
            std::fprintf(stderr, "quorvi-studio: another instance runs but does not answer.\n");
        return false;
    }
    // Holding the lock, this instance owns the socket name; a file left by one that was killed
    // is in the way.
    m_pServer = new QLocalServer(this);
    m_pServer->setSocketOptions(QLocalServer::UserAccessOption);
    QLocalServer::removeServer(SocketPath());
    if (!m_pServer->listen(SocketPath()))
        img::Trace("single instance: cannot listen on %s: %s", qPrintable(SocketPath()),
                   qPrintable(m_pServer->errorString()));
    connect(m_pServer, &QLocalServer::newConnection, this, &CInstanceChecker::OnNewConnection);
    return true;
}

bool CInstanceChecker::AskFirstInstance() const {
    QElapsedTimer timer;
    timer.start();
    // The first instance listens a moment after it takes the lock: retry until it does.
    while (timer.elapsed() < kAnswerTimeoutMs) {
        QLocalSocket socket;
        socket.connectToServer(SocketPath());
        if (!socket.waitForConnected(kAnswerTimeoutMs)) {
            QThread::msleep(50);
            continue;
        }
        socket.write(kRequest.data(), kRequest.size());
        if (!socket.waitForBytesWritten(kAnswerTimeoutMs))
            return false;
        QByteArray answer;
        while (!answer.endsWith('\n') && timer.elapsed() < kAnswerTimeoutMs &&
               socket.waitForReadyRead(int(kAnswerTimeoutMs - timer.elapsed())))
            answer += socket.readAll();
        return answer == kAnswer.toByteArray();
    }
    return false;
}

void CInstanceChecker::OnNewConnection() {
    while (QLocalSocket* pSocket = m_pServer->nextPendingConnection()) {
        connect(pSocket, &QLocalSocket::disconnected, pSocket, &QObject::deleteLater);
        connect(pSocket, &QLocalSocket::readyRead, pSocket, [this, pSocket] {
            // One short line; anything else (or more) is not a start of this program.
            if (pSocket->bytesAvailable() > 64) {
                pSocket->abort();
                return;
            }
            if (!pSocket->canReadLine())
                return;
            const QByteArray request = pSocket->readLine();
            if (request == kRequest.toByteArray()) {
                if (m_pFrame != nullptr)
                    ActivateMainWindow(*m_pFrame);
                pSocket->write(kAnswer.data(), kAnswer.size());
                pSocket->flush();
            }
            pSocket->disconnectFromServer();
        });
    }
}

void CInstanceChecker::ActivateMainWindow(CMainFrame& frame) {
    // The dialog in front of the window (a modal one), if any, is what comes forward.
    QWidget* pPopup = QApplication::activeModalWidget();
    if (frame.Tray().IsMinimisedOrHiddenMinimised())
        frame.showNormal();
    else if (frame.isHidden() && !frame.Tray().CanHideToTray())
        frame.showNormal(); // hidden with no tray left to bring it back: the program must be
                            // reachable
    QWidget* pTarget = pPopup != nullptr && pPopup->isVisible() ? pPopup : &frame;
    if (pTarget->isVisible())
        BringToFront(*pTarget);
}

void CInstanceChecker::BringToFront(QWidget& window) {
    window.raise();
    window.activateWindow();
    auto* pX11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
    if (pX11 == nullptr || pX11->connection() == nullptr)
        return;
    xcb_connection_t* pConnection = pX11->connection();
    const xcb_screen_t* pScreen = xcb_setup_roots_iterator(xcb_get_setup(pConnection)).data;
    static constexpr char kName[] = "_NET_ACTIVE_WINDOW";
    xcb_intern_atom_reply_t* pAtom = xcb_intern_atom_reply(
        pConnection, xcb_intern_atom(pConnection, 0, sizeof(kName) - 1, kName), nullptr);
    if (pAtom == nullptr)
        return;
    xcb_client_message_event_t event{};
    event.response_type = XCB_CLIENT_MESSAGE;
    event.format = 32;
    event.window = xcb_window_t(window.window()->winId());
    event.type = pAtom->atom;
    event.data.data32[0] = 2; // source: a pager, which window managers always obey
    event.data.data32[1] = XCB_CURRENT_TIME;
    std::free(pAtom);
    xcb_send_event(pConnection, 0, pScreen->root,
                   XCB_EVENT_MASK_SUBSTRUCTURE_REDIRECT | XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY,
                   reinterpret_cast<const char*>(&event));
    xcb_flush(pConnection);
}
