// SPDX-License-Identifier: MIT
// CPortalScreenshot against a stand-in portal on a bus of the test's own: the picture it names is
// read and removed from its temporary place; a cancelled request, a portal that never answers and
// an unreadable picture each end in their message, none of them in a hang.
#include "capture/portal/PortalScreenshot.h"

#include "image/ImageBitmap.h"
#include "support/TempXdgTest.h"
#include "support/portal/StandInPortal.h"

#include <QDBusConnection>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QImage>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QUrl>

#include <gtest/gtest.h>

namespace {

using testsupport::CStandInPortal;

class PortalScreenshotTest : public testsupport::CTempXdgTest {
protected:
    void SetUp() override {
        CTempXdgTest::SetUp();
        ASSERT_TRUE(m_bus.IsRunning()) << "dbus-daemon (dbus-bin) did not start";
    }
    // Puts the stand-in portal on the bus.
    std::unique_ptr<CStandInPortal> StartPortal(CStandInPortal::EAnswer answer,
                                                const QString& strUri) {
        auto pPortal =
            std::make_unique<CStandInPortal>(m_bus.Connect(QStringLiteral("portal")), true, false);
        EXPECT_TRUE(pPortal->IsRegistered());
        pPortal->SetScreenshotAnswer(answer, strUri);
        return pPortal;
    }
    QDBusConnection Client() { return m_bus.Connect(QStringLiteral("client")); }
    // Runs one request until it ends; false when neither signal came within the deadline.
    static bool RunRequest(CPortalScreenshot& shot) {
        QSignalSpy captured(&shot, &CPortalScreenshot::captured);
        QSignalSpy failed(&shot, &CPortalScreenshot::failed);
        EXPECT_TRUE(shot.Request());
        return failed.wait(20000) || !captured.isEmpty() || !failed.isEmpty();
    }

    testsupport::CPrivateBus m_bus;
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
        StartPortal(CStandInPortal::EAnswer::Picture, QUrl::fromLocalFile(strFile).toString());
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
    auto pPortal = StartPortal(CStandInPortal::EAnswer::Cancel, {});
    CPortalScreenshot shot(Client());
    ASSERT_TRUE(RunRequest(shot));
    EXPECT_EQ(shot.Failure(), CPortalScreenshot::EFailure::Refused);
    EXPECT_EQ(shot.FailureText(), QStringLiteral("The desktop refused the screenshot or it was "
                                                 "cancelled, so nothing was captured."));
    EXPECT_FALSE(shot.TakeBitmap());
}

TEST_F(PortalScreenshotTest, APortalThatNeverAnswersIsGivenUpAfterTheBound) {
    auto pPortal = StartPortal(CStandInPortal::EAnswer::Never, {});
    CPortalScreenshot shot(Client());
    shot.SetAnswerTimeout(500);
    QElapsedTimer timer;
    timer.start();
    ASSERT_TRUE(RunRequest(shot));
    EXPECT_GE(timer.elapsed(), 400); // timers may fire a little early
    EXPECT_EQ(pPortal->ScreenshotCalls(), 1);
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
        StartPortal(CStandInPortal::EAnswer::Picture, QUrl::fromLocalFile(strFile).toString());
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
