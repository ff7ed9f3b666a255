// SPDX-License-Identifier: MIT
// CPortalScreenshot: one picture of the whole desktop from the desktop portal's Screenshot
// interface, the way captures work in a Wayland session, where no program may read the screen
// itself. The portal answers later with the URI of a file, which is read with the program's own
// loader.
#pragma once

#include <QDBusConnection>
#include <QElapsedTimer>
#include <QObject>
#include <QString>
#include <QVariantMap>

#include <memory>

class CImageBitmap;
class CPortalRequest;

class CPortalScreenshot : public QObject {
    Q_OBJECT

public:
    enum class EFailure {
        None,
        NoPortal,  // no portal or no Screenshot backend on the bus
        Refused,   // the user said no or cancelled the desktop's dialog
        Failed,    // the portal answered that it could not take the picture
        NoAnswer,  // no answer within the bounded wait
        BadPicture // the file it returned could not be read
    };

    // Long enough for a desktop that asks the user first; a portal that never answers ends the
    // request after this.
    static constexpr int kDefaultAnswerTimeoutMs = 30000;

    explicit CPortalScreenshot(QDBusConnection bus = QDBusConnection::sessionBus(),
                               QObject* pParent = nullptr);
    ~CPortalScreenshot() override;

    void SetAnswerTimeout(int nMs) noexcept { m_nTimeoutMs = nMs; }
    // Sends the request; one of captured() or failed() follows. False (and nothing follows) while
    // a request is still open.
    bool Request();
    bool IsBusy() const noexcept { return m_bBusy; }
    // The picture of the last captured(), 32 bpp, its top-left pixel the desktop's top-left.
    std::unique_ptr<CImageBitmap> TakeBitmap();

    EFailure Failure() const noexcept { return m_failure; }
    // The user's text for the last failure, naming what went wrong.
    QString FailureText() const;

    // Of the last request: from sending it to the portal's answer, and reading the picture, in
    // milliseconds.
    double AnswerMs() const noexcept { return m_dAnswerMs; }
    double LoadMs() const noexcept { return m_dLoadMs; }
    // The processor time of reading the picture (a loaded machine stretches the wall time).
    double LoadCpuMs() const noexcept { return m_dLoadCpuMs; }
    // This thread's processor time so far, in milliseconds.
    static double ThreadCpuMs() noexcept;

    // Runs one request to its end in a local event loop (for the command-line tool).
    bool RequestAndWait();

signals:
    void captured();
    void failed();

private:
    void OnAnswer(uint nResponse, const QVariantMap& results);
    void LoadPicture(const QString& strUri);
    void Finish(EFailure failure, const QString& strDetail = {});

    CPortalRequest* m_pRequest = nullptr;
    int m_nTimeoutMs = kDefaultAnswerTimeoutMs;
    bool m_bBusy = false;
    EFailure m_failure = EFailure::None;
    QString m_strDetail;
    std::unique_ptr<CImageBitmap> m_pBitmap;
    QElapsedTimer m_timer;
    double m_dAnswerMs = 0;
    double m_dLoadMs = 0;
    double m_dLoadCpuMs = 0;
};
