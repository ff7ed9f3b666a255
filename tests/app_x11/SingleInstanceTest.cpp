// SPDX-License-Identifier: MIT
// One instance per user, with real quorvi-studio processes on the test's X server: a second start
// brings the first window forward and ends; a first instance killed outright blocks nothing.
#include "framework/RegistryProfile.h"
#include "platform/AppSettings.h"
#include "support/TempXdgTest.h"
#include "support/TrayHost.h"

#include <QFile>
#include <QImage>
#include <QLocalSocket>
#include <QStringList>

#include <xcb/xcb.h>

#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <thread>
#include <vector>

namespace {

using namespace std::chrono_literals;

constexpr std::uint32_t kDefaultOptions = 0x0008167B;

bool WaitFor(const std::function<bool()>& pred, std::chrono::milliseconds timeout = 10s) {
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    while (!pred()) {
        if (std::chrono::steady_clock::now() > deadline)
            return false;
        std::this_thread::sleep_for(20ms);
    }
    return true;
}

// The window manager's view of the program's windows, read as a pager would.
class CDesktop {
public:
    CDesktop() {
        m_pConnection = xcb_connect(nullptr, nullptr);
        m_root = xcb_setup_roots_iterator(xcb_get_setup(m_pConnection)).data->root;
    }
    ~CDesktop() { xcb_disconnect(m_pConnection); }
    CDesktop(const CDesktop&) = delete;
    CDesktop& operator=(const CDesktop&) = delete;

    xcb_atom_t Atom(const char* pszName) const {
        auto* pReply = xcb_intern_atom_reply(
            m_pConnection, xcb_intern_atom(m_pConnection, 0, std::strlen(pszName), pszName),
            nullptr);
        const xcb_atom_t atom = pReply != nullptr ? pReply->atom : XCB_NONE;
        std::free(pReply);
        return atom;
    }

    std::vector<std::uint32_t> Property(xcb_window_t window, const char* pszName) const {
        auto* pReply =
            xcb_get_property_reply(m_pConnection,
                                   xcb_get_property(m_pConnection, 0, window, Atom(pszName),
                                                    XCB_GET_PROPERTY_TYPE_ANY, 0, 1024),
                                   nullptr);
        std::vector<std::uint32_t> values;
        if (pReply != nullptr && pReply->format == 32) {
            const auto* p = static_cast<const std::uint32_t*>(xcb_get_property_value(pReply));
            values.assign(p, p + xcb_get_property_value_length(pReply) / 4);
        }
        std::free(pReply);
        return values;
    }

    // The managed top-level window of process pid, or none.
    xcb_window_t WindowOf(pid_t pid) const {
        for (std::uint32_t window : Property(m_root, "_NET_CLIENT_LIST")) {
            const auto pids = Property(window, "_NET_WM_PID");
            if (!pids.empty() && pid_t(pids[0]) == pid)
                return window;
        }
        return XCB_NONE;
    }

    xcb_window_t ActiveWindow() const {
        const auto values = Property(m_root, "_NET_ACTIVE_WINDOW");
        return values.empty() ? XCB_NONE : values[0];
    }

    // ICCCM WM_STATE: 1 normal, 3 iconic (minimised), 0 withdrawn (hidden).
    std::uint32_t WmState(xcb_window_t window) const {
        const auto values = Property(window, "WM_STATE");
        return values.empty() ? 0 : values[0];
    }

    // What the task bar's minimise does.
    void Minimise(xcb_window_t window) const {
        xcb_client_message_event_t event{};
        event.response_type = XCB_CLIENT_MESSAGE;
        event.format = 32;
        event.window = window;
        event.type = Atom("WM_CHANGE_STATE");
        event.data.data32[0] = 3;
        Send(event);
    }

    // What the title-bar Close does.
    void RequestClose(xcb_window_t window) const {
        xcb_client_message_event_t event{};
        event.response_type = XCB_CLIENT_MESSAGE;
        event.format = 32;
        event.window = window;
        event.type = Atom("_NET_CLOSE_WINDOW");
        event.data.data32[1] = 2;
        Send(event);
    }

private:
    void Send(const xcb_client_message_event_t& event) const {
        xcb_send_event(m_pConnection, 0, m_root,
                       XCB_EVENT_MASK_SUBSTRUCTURE_REDIRECT | XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY,
                       reinterpret_cast<const char*>(&event));
        xcb_flush(m_pConnection);
    }

    xcb_connection_t* m_pConnection = nullptr;
    xcb_window_t m_root = XCB_NONE;
};

// A quorvi-studio process with the test's environment; killed when the object goes.
class CStudio {
public:
    // Started in workingDir (empty: the test's own) with these arguments after the program name.
    explicit CStudio(std::vector<std::string> arguments = {}, std::string workingDir = {}) {
        std::vector<char*> argv{const_cast<char*>(QUORVI_STUDIO_PATH)};
        for (std::string& argument : arguments)
            argv.push_back(argument.data());
        argv.push_back(nullptr);
        m_pid = fork();
        if (m_pid == 0) {
            const int null = open("/dev/null", O_WRONLY);
            dup2(null, STDOUT_FILENO);
            if (!workingDir.empty() && chdir(workingDir.c_str()) != 0)
                _exit(126);
            execv(QUORVI_STUDIO_PATH, argv.data());
            _exit(127);
        }
    }
    ~CStudio() {
        if (m_pid > 0 && !m_bExited) {
            kill(m_pid, SIGKILL);
            waitpid(m_pid, nullptr, 0);
        }
    }
    CStudio(const CStudio&) = delete;
    CStudio& operator=(const CStudio&) = delete;

    pid_t Pid() const noexcept { return m_pid; }
    // The exit status once it has ended within the timeout, or -1.
    int WaitForExit(std::chrono::milliseconds timeout = 10s) {
        int nStatus = 0;
        const bool bEnded =
            WaitFor([&] { return waitpid(m_pid, &nStatus, WNOHANG) == m_pid; }, timeout);
        if (!bEnded)
            return -1;
        m_bExited = true;
        return WIFEXITED(nStatus) ? WEXITSTATUS(nStatus) : -1;
    }
    bool IsRunning() {
        if (m_bExited)
            return false;
        if (waitpid(m_pid, nullptr, WNOHANG) == m_pid)
            m_bExited = true;
        return !m_bExited;
    }
    void KillOutright() {
        kill(m_pid, SIGKILL);
        waitpid(m_pid, nullptr, 0);
        m_bExited = true;
    }

private:
    pid_t m_pid = -1;
    bool m_bExited = false;
};

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
        EXPECT_TRUE(WaitFor([&] { return (window = m_desktop.WindowOf(first.Pid())) != XCB_NONE; }))
            << "the first instance's window never appeared";
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
        return WaitFor([&] {
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
    ASSERT_TRUE(WaitFor([&] { return m_desktop.WmState(window) == 1; }));
    m_desktop.Minimise(window);
    ASSERT_TRUE(WaitFor([&] { return m_desktop.WmState(window) == 3; }));

    CStudio second;
    EXPECT_EQ(second.WaitForExit(), 0);
    EXPECT_TRUE(WaitFor([&] { return m_desktop.WmState(window) == 1; })) << "not restored";
    EXPECT_TRUE(WaitFor([&] { return m_desktop.ActiveWindow() == window; })) << "not in front";
    EXPECT_TRUE(first.IsRunning());
    // The second start opened no window of its own.
    EXPECT_EQ(m_desktop.WindowOf(second.Pid()), XCB_NONE);
}

TEST_F(SingleInstanceTest, SecondStartBringsAHiddenStartForwardRestored) {
    // Started hidden to a tray: hidden and minimised; a second start shows it restored.
    testsupport::CTrayHost tray(std::getenv("DISPLAY"));
    WriteOptions(kDefaultOptions);
    CStudio first;
    ASSERT_TRUE(tray.WaitForDocked(1));
    std::this_thread::sleep_for(300ms);
    EXPECT_EQ(m_desktop.WindowOf(first.Pid()), XCB_NONE) << "a hidden start showed its window";

    CStudio second;
    EXPECT_EQ(second.WaitForExit(), 0);
    xcb_window_t window = XCB_NONE;
    ASSERT_TRUE(WaitFor([&] { return (window = m_desktop.WindowOf(first.Pid())) != XCB_NONE; }));
    EXPECT_TRUE(WaitFor([&] { return m_desktop.WmState(window) == 1; }));
    EXPECT_TRUE(WaitFor([&] { return m_desktop.ActiveWindow() == window; }));
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
    ASSERT_TRUE(WaitFor([&] { return m_desktop.WmState(window) == 3; }));
    CStudio third;
    EXPECT_EQ(third.WaitForExit(), 0);
    EXPECT_TRUE(WaitFor([&] { return m_desktop.WmState(window) == 1; }));
}

TEST_F(SingleInstanceTest, FilesOfASecondStartOpenInTheFirstInstance) {
    WriteOptions(kDefaultOptions & ~platform::options::kStartHidden);
    const std::filesystem::path a = WritePicture("a.png"), b = WritePicture("b c.png");
    const std::filesystem::path folder = Root() / "pictures";
    std::filesystem::create_directories(folder);
    const std::filesystem::path d = WritePicture("pictures/d.png");
    // The first start opens its own file.
    CStudio first({a.string()});
    const xcb_window_t window = StartFirst(first);
    ASSERT_NE(window, XCB_NONE);
    EXPECT_TRUE(WaitForRecent({Q(a)})) << RecentFiles().join(u',').toStdString();

    // A second start, as a file manager runs it: one file named relative to its own folder.
    m_desktop.Minimise(window);
    ASSERT_TRUE(WaitFor([&] { return m_desktop.WmState(window) == 3; }));
    CStudio second({"d.png", b.string()}, folder.string());
    EXPECT_EQ(second.WaitForExit(), 0);
    EXPECT_TRUE(WaitForRecent({Q(a), Q(d), Q(b)})) << RecentFiles().join(u',').toStdString();
    EXPECT_TRUE(WaitFor([&] { return m_desktop.WmState(window) == 1; })) << "not restored";
    EXPECT_TRUE(first.IsRunning());
    EXPECT_EQ(m_desktop.WindowOf(second.Pid()), XCB_NONE);
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
