// SPDX-License-Identifier: MIT
// The desktop portal's Screenshot request and its answer.
#include "capture/portal/PortalScreenshot.h"

#include "capture/portal/PortalRequest.h"

#include "codecs/PictureDecoder.h"
#include "image/MemoryBitmap.h"
#include "image/TextException.h"
#include "image/Trace.h"

#include <QDir>
#include <QEventLoop>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>
#include <QUrl>

#include <ctime>

namespace {

constexpr auto kInterface = "org.freedesktop.portal.Screenshot";

// The portal writes its picture where it likes; one it left among temporary files is ours to
// remove, one elsewhere (a Pictures folder chosen by the desktop) is the user's to keep.
bool IsInTemporaryPlace(const QString& strPath) {
    const QString strDir = QFileInfo(strPath).absolutePath();
    for (const QString& strTemp :
         {QDir::tempPath(), QStringLiteral("/tmp"), QStringLiteral("/var/tmp"),
          QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation),
          QStandardPaths::writableLocation(QStandardPaths::CacheLocation)}) {
        if (!strTemp.isEmpty() && (strDir == strTemp || strDir.startsWith(strTemp + u'/')))
            return true;
    }
    return false;
}

} // namespace

CPortalScreenshot::CPortalScreenshot(QDBusConnection bus, QObject* pParent)
    : QObject(pParent), m_pRequest(new CPortalRequest(std::move(bus), this)) {
    connect(m_pRequest, &CPortalRequest::answered, this, &CPortalScreenshot::OnAnswer);
    connect(m_pRequest, &CPortalRequest::failed, this,
            [this](bool bNoAnswer, const QString& strDetail) {
                Finish(bNoAnswer ? EFailure::NoAnswer : EFailure::NoPortal, strDetail);
            });
}

CPortalScreenshot::~CPortalScreenshot() = default;

bool CPortalScreenshot::Request() {
    if (m_bBusy)
        return false;
    m_bBusy = true;
    m_failure = EFailure::None;
    m_strDetail.clear();
    m_pBitmap.reset();
    m_dAnswerMs = m_dLoadMs = m_dLoadCpuMs = 0;
    // No parent window: the program has no Wayland handle to give.
    const QVariantMap options{{QStringLiteral("interactive"), false},
                              {QStringLiteral("modal"), false}};
    m_pRequest->Send(QString::fromLatin1(kInterface), QStringLiteral("Screenshot"), {QString()},
                     options, m_nTimeoutMs);
    m_timer.start();
    return true;
}

void CPortalScreenshot::OnAnswer(uint nResponse, const QVariantMap& results) {
    if (!m_bBusy)
        return;
    m_dAnswerMs = double(m_timer.nsecsElapsed()) / 1e6;
    switch (nResponse) {
    case 0:
        LoadPicture(results.value(QStringLiteral("uri")).toString());
        break;
    case 1:
        Finish(EFailure::Refused);
        break;
    default:
        Finish(EFailure::Failed);
        break;
    }
}

void CPortalScreenshot::LoadPicture(const QString& strUri) {
    const QUrl url(strUri);
    if (!url.isLocalFile()) {
        Finish(EFailure::BadPicture, QStringLiteral("not a local file: \"%1\"").arg(strUri));
        return;
    }
    const QString strPath = url.toLocalFile();
    img::Trace("portal: the picture is %s\n", qPrintable(strPath));
    QElapsedTimer timer;
    timer.start();
    const double dCpuStart = ThreadCpuMs();
    auto pBitmap = std::make_unique<CMemoryBitmap>();
    try {
        CPictureDecoder().LoadFromFile(QFile::encodeName(strPath).toStdString(), *pBitmap, 32,
                                       nullptr);
    } catch (const CTextException& e) {
        Finish(EFailure::BadPicture,
               QStringLiteral("%1: %2").arg(strPath, QString::fromUtf8(e.what()).trimmed()));
        return;
    }
    m_dLoadMs = double(timer.nsecsElapsed()) / 1e6;
    m_dLoadCpuMs = ThreadCpuMs() - dCpuStart;
    if (IsInTemporaryPlace(strPath) && !QFile::remove(strPath))
        img::Trace("portal: could not remove %s\n", qPrintable(strPath));
    m_pBitmap = std::move(pBitmap);
    Finish(EFailure::None);
}

void CPortalScreenshot::Finish(EFailure failure, const QString& strDetail) {
    if (!m_bBusy)
        return;
    m_pRequest->Abandon();
    m_bBusy = false;
    m_failure = failure;
    m_strDetail = strDetail;
    if (failure == EFailure::None)
        emit captured();
    else
        emit failed();
}

double CPortalScreenshot::ThreadCpuMs() noexcept {
    timespec ts{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &ts);
    return double(ts.tv_sec) * 1e3 + double(ts.tv_nsec) / 1e6;
}

std::unique_ptr<CImageBitmap> CPortalScreenshot::TakeBitmap() {
    return std::move(m_pBitmap);
}

QString CPortalScreenshot::FailureText() const {
    QString strText;
    switch (m_failure) {
    case EFailure::None:
        return {};
    case EFailure::NoPortal:
        strText = QStringLiteral("No desktop portal takes screenshots in this session, so nothing "
                                 "was captured.");
        break;
    case EFailure::Refused:
        strText = QStringLiteral("The desktop refused the screenshot or it was cancelled, so "
                                 "nothing was captured.");
        break;
    case EFailure::Failed:
        strText = QStringLiteral("The desktop portal could not take the screenshot.");
        break;
    case EFailure::NoAnswer:
        strText = QStringLiteral("The desktop portal did not answer the screenshot request within "
                                 "%1 seconds, so nothing was captured.")
                      .arg(m_nTimeoutMs / 1000.0);
        break;
    case EFailure::BadPicture:
        strText = QStringLiteral("The screenshot the desktop portal returned could not be read.");
        break;
    }
    if (!m_strDetail.isEmpty())
        strText += QStringLiteral("\n(%1)").arg(m_strDetail);
    return strText;
}

bool CPortalScreenshot::RequestAndWait() {
    QEventLoop loop;
    connect(this, &CPortalScreenshot::captured, &loop, &QEventLoop::quit);
    connect(this, &CPortalScreenshot::failed, &loop, &QEventLoop::quit);
    if (!Request())
        return false;
    if (m_bBusy)
        loop.exec();
    return m_failure == EFailure::None;
}
