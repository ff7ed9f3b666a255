// SPDX-License-Identifier: MIT
// The single-instance guard.
#include "app/InstanceChecker.h"

#include "app/InstanceRequest.h"
#include "app/MainFrame.h"
#include "app/TrayPolicy.h"
#include "image/Trace.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QGuiApplication>
#include <QLocalServer>
#include <QLocalSocket>
#include <QThread>
#include <QTimer>

#include <xcb/xcb.h>

#include <cstdio>
#include <cstdlib>

namespace {

constexpr const char* kLockName = "QuorviStudio.lock";
constexpr const char* kSocketName = "QuorviStudio.socket";
constexpr QByteArrayView kAnswer = "done\n";
// How long a second start waits for the first one to take the request and answer.
constexpr int kAnswerTimeoutMs = 3000;
// A connection that has not sent its line by then is dropped.
constexpr int kRequestTimeoutMs = 10000;

} // namespace

CInstanceChecker::CInstanceChecker(std::filesystem::path dir) : m_dir(std::move(dir)) {}

CInstanceChecker::~CInstanceChecker() {
    if (m_pServer != nullptr)
        m_pServer->close();
}

QString CInstanceChecker::SocketPath() const {
    return QString::fromStdString((m_dir / kSocketName).string());
}

IInstanceGuard::ERole CInstanceChecker::Claim(CMainFrame& frame, const QStringList& files,
                                              const QString& strCapture) {
    m_pFrame = &frame;
    std::string strError;
    if (m_dir.empty())
        m_dir = platform::RuntimeDir(&strError);
    const auto result = m_dir.empty() ? platform::CInstanceLock::EResult::Failed
                                      : m_lock.TryAcquire(m_dir / kLockName, &strError);
    if (result == platform::CInstanceLock::EResult::Failed) {
        std::fprintf(stderr, "quorvi-studio: no single-instance lock (%s); running anyway.\n",
                     strError.c_str());
        return ERole::First;
    }
    if (result == platform::CInstanceLock::EResult::HeldByAnother) {
        if (AskFirstInstance(files, strCapture))
            return ERole::HandedOver;
        // A second instance of our own would fight the first over the settings: the user hears
        // that nothing was opened, and the exit status says so to a file manager or script.
        std::fprintf(stderr, "quorvi-studio: another instance runs but does not answer; %s\n",
                     files.isEmpty() && strCapture.isEmpty() ? "it was not brought forward."
                     : strCapture.isEmpty()                  ? "the files were not opened."
                                                             : "no capture was taken.");
        return ERole::NoAnswer;
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
    return ERole::First;
}

bool CInstanceChecker::AskFirstInstance(const QStringList& files, const QString& strCapture) const {
    if (!strCapture.isEmpty())
        return SendRequest(instance::EncodeCaptureRequest(strCapture));
    QStringList rejected;
    const QList<QByteArray> requests = instance::EncodeRequests(files, &rejected);
    for (const QString& strPath : rejected)
        std::fprintf(stderr, "quorvi-studio: %s: not a file name that can be opened.\n",
                     qPrintable(strPath));
    for (const QByteArray& line : requests) {
        if (!SendRequest(line))
            return false;
    }
    return true;
}

bool CInstanceChecker::SendRequest(const QByteArray& line) const {
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
        socket.write(line);
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
        // The line is bounded: more than that unread is no start of this program.
        pSocket->setReadBufferSize(instance::kMaxRequestBytes + 1);
        connect(pSocket, &QLocalSocket::disconnected, pSocket, &QObject::deleteLater);
        connect(pSocket, &QLocalSocket::readyRead, this,
                [this, pSocket] { OnRequestData(pSocket); });
        QTimer::singleShot(kRequestTimeoutMs, pSocket, [pSocket] { pSocket->abort(); });
    }
}

void CInstanceChecker::OnRequestData(QLocalSocket* pSocket) {
    if (!pSocket->canReadLine()) {
        if (pSocket->bytesAvailable() > instance::kMaxRequestBytes)
            pSocket->abort();
        return;
    }
    const std::optional<instance::Request> request =
        instance::DecodeRequest(pSocket->readLine(instance::kMaxRequestBytes + 1));
    if (request) {
        pSocket->write(kAnswer.data(), kAnswer.size());
        pSocket->flush();
        if (request->strCapture.isEmpty())
            Serve(request->files);
        else
            ServeCapture(request->strCapture);
    } else {
        img::Trace("single instance: a malformed request was ignored");
    }
    pSocket->disconnectFromServer();
}

void CInstanceChecker::Serve(const QStringList& files) {
    if (m_pFrame == nullptr)
        return;
    if (files.isEmpty()) {
        ActivateMainWindow(*m_pFrame);
        return;
    }
    // Files were asked for: the window they open in must be seen, even one hidden to the tray.
    if (m_pFrame->isHidden() || m_pFrame->isMinimized())
        m_pFrame->showNormal();
    ActivateMainWindow(*m_pFrame);
    // Out of the socket's handler: opening may ask questions in message boxes.
    if (m_open)
        QTimer::singleShot(0, this, [this, files] { m_open(files); });
}

void CInstanceChecker::ServeCapture(const QString& strCapture) {
    // The capture gets the main window out of the way itself: nothing comes forward first.
    if (m_capture)
        QTimer::singleShot(0, this, [this, strCapture] { m_capture(strCapture); });
}

void CInstanceChecker::ActivateMainWindow(CMainFrame& frame) {
    // The dialog in front of the window (a modal one), if any, is what comes forward.
    QWidget* pPopup = QApplication::activeModalWidget();
    // Hidden with no tray left to bring it back, the program must be reachable too.
    if (frame.Tray().IsMinimisedOrHiddenMinimised() ||
        (frame.isHidden() && !frame.Tray().CanHideToTray()))
        frame.showNormal();
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
