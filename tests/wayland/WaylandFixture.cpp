// SPDX-License-Identifier: MIT
// The Wayland tests' desktop, programs and pictures.
#include "WaylandFixture.h"

#include "platform/AppSettings.h"
#include "support/Wait.h"

#include <signal.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <stdexcept>

namespace waylandtest {

using namespace std::chrono_literals;
using testsupport::CSessionProcess;
using testsupport::CWaylandDesktop;
using testsupport::WaitUntil;

namespace {

// Every program sees the session, never the test's offscreen platform; traces name the message
// boxes the program shows.
std::vector<std::string> ProgramEnvironment() {
    return {"QT_QPA_PLATFORM=", "QUORVI_TRACE=1"};
}

bool ReadLine(int fd, std::string& line) {
    line.clear();
    char c = 0;
    while (read(fd, &c, 1) == 1) {
        if (c == '\n')
            return true;
        line += c;
    }
    return false;
}

} // namespace

CPointer::CPointer(const CWaylandDesktop& desktop) {
    int toChild[2];
    int fromChild[2];
    if (pipe(toChild) != 0 || pipe(fromChild) != 0)
        return;
    const std::string strDisplay = desktop.Value("WAYLAND_DISPLAY");
    m_pid = fork();
    if (m_pid == 0) {
        prctl(PR_SET_PDEATHSIG, SIGKILL);
        dup2(toChild[0], STDIN_FILENO);
        dup2(fromChild[1], STDOUT_FILENO);
        for (int fd = 3; fd < 256; ++fd)
            close(fd); // its input ends only when the test's end of the pipe is the last one
        setenv("WAYLAND_DISPLAY", strDisplay.c_str(), 1);
        execl(QUORVI_WL_POINTER_PATH, QUORVI_WL_POINTER_PATH, "1920", "1080", nullptr);
        _exit(127);
    }
    close(toChild[0]);
    close(fromChild[1]);
    m_fdIn = toChild[1];
    m_fdOut = fromChild[0];
    std::string line;
    m_bReady = ReadLine(m_fdOut, line) && line == "ready";
}

CPointer::~CPointer() {
    if (m_fdIn >= 0)
        close(m_fdIn); // the tool ends at the end of its input
    if (m_fdOut >= 0)
        close(m_fdOut);
    if (m_pid > 0)
        waitpid(m_pid, nullptr, 0);
}

bool CPointer::Send(const std::string& strCommand) {
    const std::string text = strCommand + "\n";
    if (write(m_fdIn, text.data(), text.size()) != ssize_t(text.size()))
        return false;
    std::string line;
    return ReadLine(m_fdOut, line) && line == "ok";
}

bool CPointer::Move(int x, int y) {
    return Send("move " + std::to_string(x) + " " + std::to_string(y));
}

bool CPointer::Press() {
    return Send("down");
}

bool CPointer::Release() {
    return Send("up");
}

void WaylandTest::SetUp() {
    CTempXdgTest::SetUp();
    const std::vector<std::string> missing = CWaylandDesktop::MissingPrograms();
    if (!missing.empty()) {
        std::string strNames;
        for (const std::string& name : missing)
            strNames += " " + name;
        FAIL() << "the Wayland session needs" << strNames << " (run scripts/install-deps.sh)";
    }
    try {
        m_pDesktop = std::make_unique<CWaylandDesktop>(CWaylandDesktop::Options{PortalBackend()});
    } catch (const std::exception& e) {
        GTEST_SKIP() << "a headless Wayland session cannot start on this machine: " << e.what();
    }
    platform::CAppSettings settings;
    settings.m_dwOptionsA = platform::options::kShowAfterCapture |
                            platform::options::kOpenImageWindow | platform::options::kSaveToFile |
                            platform::options::kAutoNameFile;
    settings.m_strAutoSavePath = OutputDir().string();
    settings.m_dwAutoSaveImageType = 2; // PNG
    settings.m_wCaptureDelayTime = 0;
    std::filesystem::create_directories(OutputDir());
    ASSERT_TRUE(settings.Save(platform::HiveLocations::FromEnvironment()));
}

void WaylandTest::TearDown() {
    m_pPattern.reset();
    m_pDesktop.reset();
    CTempXdgTest::TearDown();
}

void WaylandTest::ShowPattern() {
    m_pPattern = std::make_unique<CSessionProcess>(
        Desktop(), std::vector<std::string>{QUORVI_WL_PATTERN_PATH},
        std::vector<std::string>{"QT_QPA_PLATFORM=wayland"}, Root() / "pattern.log");
    // The picture's corner pixels, as the pattern draws them.
    const bool bShown = WaitUntil(
        [&] {
            const QImage screen = GrimPicture();
            return !screen.isNull() && screen.pixel(1, 1) == qRgb(7, 5, 0) &&
                   screen.pixel(1919, 1079) ==
                       qRgb((1919 * 7) & 0xFF, (1079 * 5) & 0xFF, (29 * 37 + 16 * 91) & 0xFF);
        },
        30s);
    ASSERT_TRUE(bShown) << "the pattern window never covered the output:\n" << m_pPattern->Output();
}

std::optional<std::filesystem::path> WaylandTest::WaitForCapture() {
    std::optional<std::filesystem::path> found;
    WaitUntil(
        [&] {
            for (const auto& entry : std::filesystem::directory_iterator(OutputDir())) {
                const std::string name = entry.path().filename().string();
                const std::string ext = entry.path().extension().string();
                if (name.front() != '.' && (ext == ".png" || ext == ".PNG"))
                    found = entry.path();
            }
            return found.has_value();
        },
        30s);
    return found;
}

std::unique_ptr<CSessionProcess> WaylandTest::StartStudio(const std::vector<std::string>& args,
                                                          const std::string& strLogName) {
    std::vector<std::string> argv{QUORVI_STUDIO_PATH};
    argv.insert(argv.end(), args.begin(), args.end());
    return std::make_unique<CSessionProcess>(Desktop(), argv, ProgramEnvironment(),
                                             Root() / strLogName);
}

std::optional<int> WaylandTest::RunCli(const std::vector<std::string>& args, std::string* pOutput) {
    std::vector<std::string> argv{QUORVI_CLI_PATH};
    argv.insert(argv.end(), args.begin(), args.end());
    CSessionProcess cli(Desktop(), argv, ProgramEnvironment(),
                        Root() / ("cli-" + std::to_string(++m_nRun) + ".log"));
    const std::optional<int> nExit = cli.WaitForExit(60s);
    if (pOutput != nullptr)
        *pOutput = cli.Output();
    return nExit;
}

QImage WaylandTest::GrimPicture(const QRect& rc) {
    const std::filesystem::path png = Root() / "grim.png";
    std::filesystem::remove(png);
    std::string strGeometry;
    if (!rc.isNull())
        strGeometry = std::to_string(rc.x()) + "," + std::to_string(rc.y()) + " " +
                      std::to_string(rc.width()) + "x" + std::to_string(rc.height());
    if (!Desktop().Grim(png, strGeometry))
        return {};
    return QImage(QString::fromStdString(png.string())).convertToFormat(QImage::Format_RGB32);
}

void WaylandTest::ExpectSamePixels(const QImage& actualIn, const QImage& expectedIn) {
    ASSERT_FALSE(actualIn.isNull());
    ASSERT_FALSE(expectedIn.isNull());
    const QImage actual = actualIn.convertToFormat(QImage::Format_RGB32);
    const QImage expected = expectedIn.convertToFormat(QImage::Format_RGB32);
    ASSERT_EQ(actual.size(), expected.size());
    for (int y = 0; y < actual.height(); ++y) {
        for (int x = 0; x < actual.width(); ++x) {
            if ((actual.pixel(x, y) & 0xFFFFFFu) != (expected.pixel(x, y) & 0xFFFFFFu)) {
                FAIL() << "pixel " << x << "," << y << " is " << std::hex << actual.pixel(x, y)
                       << ", grim saw " << expected.pixel(x, y);
            }
        }
    }
}

} // namespace waylandtest
