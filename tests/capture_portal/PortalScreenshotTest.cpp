// SPDX-License-Identifier: MIT
// CPortalScreenshot against a stand-in portal on a bus of the test's own: the picture it names is
// read and removed from its temporary place; a cancelled request, a portal that never answers and
// an unreadable picture each end in their message, none of them in a hang.
#include "capture/portal/PortalScreenshot.h"

#include "image/ImageBitmap.h"
#include "support/TempXdgTest.h"

#include <QDBusConnection>
#include <QDBusContext>
#include <QDBusMessage>
#include <QDBusObjectPath>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QImage>
#include <QProcess>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QUrl>

#include <gtest/gtest.h>

namespace {

// The portal's Screenshot interface as the stand-in plays it.
class CFakePortal : public QObject, protected QDBusContext {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.portal.Screenshot")

public:
    enum class EAnswer { Picture, Cancel, Never };
    CFakePortal(QDBusConnection bus, EAnswer answer, QString strUri)
        : m_bus(std::move(bus)), m_answer(answer), m_strUri(std::move(strUri)) {}
    int Calls() const noexcept { return m_nCalls; }

public slots:
    QDBusObjectPath Screenshot(const QString&, const QVariantMap& options) {
        ++m_nCalls;
        QString strSender = message().service().mid(1);
        strSender.replace(u'.', u'_');
        const QString strPath = QStringLiteral("/org/freedesktop/portal/desktop/request/%1/%2")
                                    .arg(strSender, options.value("handle_token").toString());
        if (m_answer != EAnswer::Never) {
            QDBusMessage response = QDBusMessage::createSignal(
                strPath, QStringLiteral("org.freedesktop.portal.Request"),
                QStringLiteral("Response"));
            const bool bPicture = m_answer == EAnswer::Picture;
            response << uint(bPicture ? 0 : 1)
                     << QVariantMap{{QStringLiteral("uri"), bPicture ? m_strUri : QString()}};
            m_bus.send(response);
        }
        return QDBusObjectPath(strPath);
    }

private:
    QDBusConnection m_bus;
    EAnswer m_answer;
    QString m_strUri;
    int m_nCalls = 0;
};

class PortalScreenshotTest : public testsupport::CTempXdgTest {
protected:
    void SetUp() override {
        CTempXdgTest::SetUp();
        m_daemon.start(QStringLiteral("dbus-daemon"),
                       {QStringLiteral("--session"), QStringLiteral("--nofork"),
                        QStringLiteral("--print-address=1")});
        ASSERT_TRUE(m_daemon.waitForReadyRead(10000)) << "dbus-daemon (dbus-bin) did not start";
        m_strAddress = QString::fromUtf8(m_daemon.readLine()).trimmed();
    }
    void TearDown() override {
        QDBusConnection::disconnectFromBus(QStringLiteral("portal"));
        QDBusConnection::disconnectFromBus(QStringLiteral("client"));
        m_daemon.kill();
        m_daemon.waitForFinished();
        CTempXdgTest::TearDown();
    }
    // Puts the stand-in portal on the bus and returns the program's side of it.
    std::unique_ptr<CFakePortal> StartPortal(CFakePortal::EAnswer answer, const QString& strUri) {
        QDBusConnection bus = QDBusConnection::connectToBus(m_strAddress, QStringLiteral("portal"));
        auto pPortal = std::make_unique<CFakePortal>(bus, answer, strUri);
        EXPECT_TRUE(bus.registerObject(QStringLiteral("/org/freedesktop/portal/desktop"),
                                       pPortal.get(), QDBusConnection::ExportAllSlots));
        EXPECT_TRUE(bus.registerService(QStringLiteral("org.freedesktop.portal.Desktop")));
        return pPortal;
    }
    QDBusConnection Client() const {
        return QDBusConnection::connectToBus(m_strAddress, QStringLiteral("client"));
    }
    // Runs one request until it ends; false when neither signal came within the deadline.
    static bool RunRequest(CPortalScreenshot& shot) {
        QSignalSpy captured(&shot, &CPortalScreenshot::captured);
        QSignalSpy failed(&shot, &CPortalScreenshot::failed);
        EXPECT_TRUE(shot.Request());
        return failed.wait(20000) || !captured.isEmpty() || !failed.isEmpty();
    }

    QProcess m_daemon;
    QString m_strAddress;
};

TEST_F(PortalScreenshotTest, ThePictureIsReadAndRemovedFromItsTemporaryPlace) {
    const QString strFile =
        QDir::tempPath() +
        QStringLiteral("/quorvi-portal-test-%1.png").arg(QCoreApplication::applicationPid());
    QImage picture(5, 3, QImage::Format_RGB32);
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 5; ++x)
            picture.setPixel(x, y, qRgb(x * 50, y * 100, 7));
    ASSERT_TRUE(picture.save(strFile, "PNG"));
    auto pPortal =
        StartPortal(CFakePortal::EAnswer::Picture, QUrl::fromLocalFile(strFile).toString());
    CPortalScreenshot shot(Client());
    QSignalSpy captured(&shot, &CPortalScreenshot::captured);
    ASSERT_TRUE(shot.Request());
    ASSERT_TRUE(captured.wait(20000)) << shot.FailureText().toStdString();
    const std::unique_ptr<CImageBitmap> pBitmap = shot.TakeBitmap();
    ASSERT_TRUE(pBitmap);
    ASSERT_EQ(pBitmap->Width(), 5);
    ASSERT_EQ(pBitmap->Height(), 3);
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 5; ++x) {
            const std::uint8_t* px = pBitmap->Line(y) + 4 * x;
            EXPECT_EQ(qRgb(px[2], px[1], px[0]), picture.pixel(x, y)) << x << "," << y;
        }
    EXPECT_FALSE(QFile::exists(strFile));
}

TEST_F(PortalScreenshotTest, ACancelledRequestSaysSo) {
    auto pPortal = StartPortal(CFakePortal::EAnswer::Cancel, {});
    CPortalScreenshot shot(Client());
    ASSERT_TRUE(RunRequest(shot));
    EXPECT_EQ(shot.Failure(), CPortalScreenshot::EFailure::Refused);
    EXPECT_EQ(shot.FailureText(), QStringLiteral("The desktop refused the screenshot or it was "
                                                 "cancelled, so nothing was captured."));
    EXPECT_FALSE(shot.TakeBitmap());
}

TEST_F(PortalScreenshotTest, APortalThatNeverAnswersIsGivenUpAfterTheBound) {
    auto pPortal = StartPortal(CFakePortal::EAnswer::Never, {});
    CPortalScreenshot shot(Client());
    shot.SetAnswerTimeout(500);
    QElapsedTimer timer;
    timer.start();
    ASSERT_TRUE(RunRequest(shot));
    EXPECT_GE(timer.elapsed(), 400); // timers may fire a little early
    EXPECT_EQ(pPortal->Calls(), 1);
    EXPECT_EQ(shot.Failure(), CPortalScreenshot::EFailure::NoAnswer);
    EXPECT_EQ(shot.FailureText(), QStringLiteral("The desktop portal did not answer the screenshot "
                                                 "request within 0.5 seconds, so nothing was "
                                                 "captured."));
    // Ready for the next request.
    EXPECT_FALSE(shot.IsBusy());
}

TEST_F(PortalScreenshotTest, AnUnreadablePictureIsNamedAndNothingIsCaptured) {
    const QString strFile =
        QDir::tempPath() +
        QStringLiteral("/quorvi-portal-broken-%1.png").arg(QCoreApplication::applicationPid());
    QFile file(strFile);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("\x89PNG\r\n\x1a\n not really");
    file.close();
    auto pPortal =
        StartPortal(CFakePortal::EAnswer::Picture, QUrl::fromLocalFile(strFile).toString());
    CPortalScreenshot shot(Client());
    ASSERT_TRUE(RunRequest(shot));
    EXPECT_EQ(shot.Failure(), CPortalScreenshot::EFailure::BadPicture);
    EXPECT_TRUE(shot.FailureText().startsWith(
        QStringLiteral("The screenshot the desktop portal returned could not be read.\n(") +
        strFile + u':'))
        << shot.FailureText().toStdString();
    EXPECT_FALSE(shot.TakeBitmap());
    QFile::remove(strFile);
}

TEST_F(PortalScreenshotTest, NoPortalOnTheBusSaysSo) {
    CPortalScreenshot shot(Client());
    ASSERT_TRUE(RunRequest(shot));
    EXPECT_EQ(shot.Failure(), CPortalScreenshot::EFailure::NoPortal);
    EXPECT_TRUE(shot.FailureText().startsWith(QStringLiteral(
        "No desktop portal takes screenshots in this session, so nothing was captured.")));
}

} // namespace

#include "PortalScreenshotTest.moc"
