// SPDX-License-Identifier: MIT
// One instance per user, with real quorvi-studio processes on the test's X server: a second start
// brings the first window forward and ends; a first instance killed outright blocks nothing.
#include "StudioProcess.h"
#include "X11Desktop.h"

#include "framework/RegistryProfile.h"
#include "platform/AppSettings.h"
#include "platform/InstanceLock.h"
#include "support/TempXdgTest.h"
#include "support/TrayHost.h"
#include "support/Wait.h"

#include <QFile>
#include <QImage>
#include <QLocalSocket>
#include <QStringList>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <string>

namespace {

using namespace std::chrono_literals;
using studiotest::CDesktop;
using studiotest::CStudio;
using testsupport::WaitUntil;

constexpr std::uint32_t kDefaultOptions = 0x0008167B;

class SingleInstanceTest : public testsupport::CTempXdgTest {
protected:
    void WriteOptions(std::uint32_t dwOptionsA) {
        platform::CAppSettings settings;
        settings.m_dwOptionsA = dwOptionsA;
        settings.m_strAutoSavePath = (Root() / "Output").string();
        ASSERT_TRUE(settings.Save(platform::HiveLocations::FromEnvironment()));
    }

    // Starts the first instance and waits until the window manager manages its window.
    xcb_window_t StartFirst(CStudio& first) {
        xcb_window_t window = XCB_NONE;
        EXPECT_TRUE(WaitUntil([&] {
            return (window = m_desktop.WindowOf(first.Pid())) != XCB_NONE;
        })) << "the first instance's window never appeared";
        return window;
    }

    // A small PNG in the test's folder.
    std::filesystem::path WritePicture(const std::string& strName) const {
        const std::filesystem::path path = Root() / strName;
        QImage image(7, 5, QImage::Format_RGB32);
        image.fill(qRgb(10, 200, 30));
        EXPECT_TRUE(image.save(QString::fromStdString(path.string()), "PNG"));
        return path;
    }

    // The files the program has opened, newest first: it lists each in its recent-file list,
    // written to the settings hive as it changes.
    static QStringList RecentFiles() {
        const CRegistryProfile profile(platform::HiveLocations::FromEnvironment());
        return profile.ReadSection(QStringLiteral("Recent File List")).values();
    }

    static bool WaitForRecent(const QStringList& expected) {
        return WaitUntil([&] {
            QStringList recent = RecentFiles(), wanted = expected;
            recent.sort();
            wanted.sort();
            return recent == wanted;
        });
    }

    CDesktop m_desktop;
};

QString Q(const std::filesystem::path& path) {
    return QString::fromStdString(path.string());
}

} // namespace

TEST_F(SingleInstanceTest, SecondStartRestoresTheMinimisedFirstWindowAndEnds) {
    WriteOptions(kDefaultOptions & ~platform::options::kStartHidden);
    CStudio first;
    const xcb_window_t window = StartFirst(first);
    ASSERT_NE(window, XCB_NONE);
    ASSERT_TRUE(WaitUntil([&] { return m_desktop.WmState(window) == 1; }));
    m_desktop.Minimise(window);
    ASSERT_TRUE(WaitUntil([&] { return m_desktop.WmState(window) == 3; }));

    CStudio second;
    EXPECT_EQ(second.WaitForExit(), 0);
    EXPECT_TRUE(WaitUntil([&] { return m_desktop.WmState(window) == 1; })) << "not restored";
    EXPECT_TRUE(WaitUntil([&] { return m_desktop.ActiveWindow() == window; })) << "not in front";
    EXPECT_TRUE(first.IsRunning());
    // The second start opened no window of its own.
    EXPECT_EQ(m_desktop.WindowOf(second.Pid()), XCB_NONE);
}

TEST_F(SingleInstanceTest, SecondStartBringsAHiddenStartForwardRestored) {
    // Started hidden to a tray: hidden and minimised; a second start shows it restored.
    testsupport::CTrayHost tray(std::getenv("DISPLAY"));
    WriteOptions(kDefaultOptions);
    m_desktop.WatchRoot();
    CStudio first;
    ASSERT_TRUE(tray.WaitForDocked(1));
    // The window goes to the window manager and is taken back once it is on the screen (some
    // managers show a window mapped minimised normally): after that it must stay away.
    ASSERT_TRUE(m_desktop.WaitWithdrawn(first.Pid())) << "a hidden start kept its window";
    EXPECT_EQ(m_desktop.WindowOf(first.Pid()), XCB_NONE) << "a hidden start showed its window";

    CStudio second;
    EXPECT_EQ(second.WaitForExit(), 0);
    xcb_window_t window = XCB_NONE;
    ASSERT_TRUE(WaitUntil([&] { return (window = m_desktop.WindowOf(first.Pid())) != XCB_NONE; }));
    EXPECT_TRUE(WaitUntil([&] { return m_desktop.WmState(window) == 1; }));
    EXPECT_TRUE(WaitUntil([&] { return m_desktop.ActiveWindow() == window; }));
}

TEST_F(SingleInstanceTest, SecondStartShowsNoTrayIconOfItsOwn) {
    testsupport::CTrayHost tray(std::getenv("DISPLAY"));
    WriteOptions(kDefaultOptions & ~platform::options::kStartHidden);
    CStudio first;
    ASSERT_NE(StartFirst(first), XCB_NONE);
    ASSERT_TRUE(tray.WaitForDocked(1));

    CStudio second;
    EXPECT_EQ(second.WaitForExit(), 0);
    // Whatever the second start sent before it ended has reached the tray by the time a request
    // of the test's own (sent after the exit) comes back through the tray host's server.
    m_desktop.ActiveWindow();
    EXPECT_FALSE(tray.WaitForDocked(2, 1s)) << "the second start docked an icon on its way out";
    EXPECT_TRUE(first.IsRunning());
}

TEST_F(SingleInstanceTest, AKilledFirstInstanceDoesNotBlockTheNextStart) {
    WriteOptions(kDefaultOptions & ~platform::options::kStartHidden);
    {
        CStudio first;
        ASSERT_NE(StartFirst(first), XCB_NONE);
        first.KillOutright();
    }
    // The socket file of the killed one is still there; the next start is the first again.
    CStudio next;
    const xcb_window_t window = StartFirst(next);
    ASSERT_NE(window, XCB_NONE);
    EXPECT_TRUE(next.IsRunning());

    // And it answers a later start in its turn.
    m_desktop.Minimise(window);
    ASSERT_TRUE(WaitUntil([&] { return m_desktop.WmState(window) == 3; }));
    CStudio third;
    EXPECT_EQ(third.WaitForExit(), 0);
    EXPECT_TRUE(WaitUntil([&] { return m_desktop.WmState(window) == 1; }));
}

TEST_F(SingleInstanceTest, FilesOfASecondStartOpenInTheFirstInstance) {
    WriteOptions(kDefaultOptions & ~platform::options::kStartHidden);
    const std::filesystem::path a = WritePicture("a.png"), b = WritePicture("b c.png");
    const std::filesystem::path folder = Root() / "pictures";
    std::filesystem::create_directories(folder);
    const std::filesystem::path d = WritePicture("pictures/d.png");
    // The first start opens its own file.
    CStudio first({a.string()}, {});
    const xcb_window_t window = StartFirst(first);
    ASSERT_NE(window, XCB_NONE);
    EXPECT_TRUE(WaitForRecent({Q(a)})) << RecentFiles().join(u',').toStdString();

    // A second start, as a file manager runs it: one file named relative to its own folder.
    m_desktop.Minimise(window);
    ASSERT_TRUE(WaitUntil([&] { return m_desktop.WmState(window) == 3; }));
    CStudio second({"d.png", b.string()}, folder.string());
    EXPECT_EQ(second.WaitForExit(), 0);
    EXPECT_TRUE(WaitForRecent({Q(a), Q(d), Q(b)})) << RecentFiles().join(u',').toStdString();
    EXPECT_TRUE(WaitUntil([&] { return m_desktop.WmState(window) == 1; })) << "not restored";
    EXPECT_TRUE(first.IsRunning());
    EXPECT_EQ(m_desktop.WindowOf(second.Pid()), XCB_NONE);
}

TEST_F(SingleInstanceTest, FailingOpenRequestsShowOneBoxAtATime) {
    // Each request names a folder, which does not open: while the first box waits for the user,
    // the others must wait too rather than each open a box over it (the stack ran out at 3907).
    WriteOptions(kDefaultOptions & ~platform::options::kStartHidden);
    CStudio first;
    ASSERT_NE(StartFirst(first), XCB_NONE);
    const QString strSocket = Q(Root() / "runtime" / "QuorviStudio.socket");
    const QByteArray request = "open " + QFile::encodeName(Q(Root())).toBase64() + "\n";
    int nAnswered = 0;
    for (int i = 0; i < 4000 && first.IsRunning(); ++i) {
        QLocalSocket socket;
        socket.connectToServer(strSocket);
        if (!socket.waitForConnected(5000))
            break;
        socket.write(request);
        socket.waitForBytesWritten(5000);
        while (socket.state() == QLocalSocket::ConnectedState && socket.waitForReadyRead(5000)) {
        }
        nAnswered += socket.readAll() == "done\n" ? 1 : 0;
    }
    EXPECT_EQ(nAnswered, 4000);
    ASSERT_TRUE(first.IsRunning());
    EXPECT_TRUE(WaitUntil([&] { return m_desktop.WindowsOf(first.Pid()) == 2; }))
        << m_desktop.WindowsOf(first.Pid()) << " windows";
}

TEST_F(SingleInstanceTest, ASecondStartThatIsNotAnsweredFailsAndSaysSo) {
    // A first instance that holds the lock but does not answer (hung): the files of the second
    // start are not opened anywhere, and its exit status must say so.
    WriteOptions(kDefaultOptions & ~platform::options::kStartHidden);
    const std::filesystem::path a = WritePicture("a.png");
    platform::CInstanceLock hung;
    ASSERT_EQ(hung.TryAcquire(Root() / "runtime" / "QuorviStudio.lock"),
              platform::CInstanceLock::EResult::Acquired);
    CStudio second({a.string()}, {});
    EXPECT_EQ(second.WaitForExit(15s), 1);
}

TEST_F(SingleInstanceTest, MalformedRequestsAreIgnored) {
    WriteOptions(kDefaultOptions & ~platform::options::kStartHidden);
    const std::filesystem::path a = WritePicture("a.png");
    CStudio first;
    ASSERT_NE(StartFirst(first), XCB_NONE);
    const QString strSocket = Q(Root() / "runtime" / "QuorviStudio.socket");
    // Each request is answered with nothing but the connection closing.
    const auto send = [&](const QByteArray& request) {
        QLocalSocket socket;
        socket.connectToServer(strSocket);
        if (!socket.waitForConnected(5000))
            return QByteArray("<no connection>");
        socket.write(request);
        socket.waitForBytesWritten(5000);
        QByteArray answer;
        while (socket.state() == QLocalSocket::ConnectedState && socket.waitForReadyRead(5000))
            answer += socket.readAll();
        return answer + socket.readAll();
    };
    const QByteArray relative = QByteArray("a.png").toBase64();
    const QByteArray good = QFile::encodeName(Q(a)).toBase64();
    EXPECT_EQ(send("open " + relative + "\n"), QByteArray());
    EXPECT_EQ(send("open " + good + " ???\n"), QByteArray());
    EXPECT_EQ(send("open " + QByteArray(200000, 'A')), QByteArray()) << "an endless line";
    EXPECT_EQ(send("shutdown\n"), QByteArray());
    // Still running and answering; nothing was opened until the good request.
    EXPECT_TRUE(first.IsRunning());
    EXPECT_TRUE(RecentFiles().isEmpty());
    EXPECT_EQ(send("open " + good + "\n"), QByteArray("done\n"));
    EXPECT_TRUE(WaitForRecent({Q(a)}));
}
