// SPDX-License-Identifier: MIT
// How a run of the real program ends and what the next run finds: a run killed outright after
// automatic saves leaves the counter where the next run goes on from (no capture replaced); the
// termination signals and a lost X server end through the exit path, which writes the settings.
#include "StudioProcess.h"
#include "X11Desktop.h"

#include "platform/AppSettings.h"
#include "platform/WorkspaceSettings.h"
#include "support/TempXdgTest.h"
#include "support/Wait.h"
#include "support/XClient.h"
#include "support/XServer.h"

#include <QImage>

#include <X11/keysym.h>

#include <signal.h>
#include <sys/stat.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>

namespace {

using namespace std::chrono_literals;
namespace opt = platform::options;
using studiotest::CDesktop;
using studiotest::CStudio;
using testsupport::WaitUntil;

// The file behind a name: a replacing save makes a new one (written beside it, then renamed).
struct FileIdentity {
    ino_t ino = 0;
    std::int64_t nModifiedNs = 0;
    bool operator==(const FileIdentity&) const = default;
};

FileIdentity IdentityOf(const std::filesystem::path& path) {
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0)
        return {};
    return {st.st_ino, std::int64_t(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec};
}

class SessionEndTest : public testsupport::CTempXdgTest {
protected:
    std::filesystem::path Output() const { return Root() / "Output"; }
    std::filesystem::path Hive() const { return ConfigHome() / "Quorvi" / "QuorviStudio.reg"; }
    std::filesystem::path Saved(int n) const {
        char name[32];
        std::snprintf(name, sizeof name, "Qorv%05d.png", n);
        return Output() / name;
    }

    // Automatic saves of every capture with the default "AutoSaveOptions" (replace existing
    // files, the counter kept from run to run).
    void WriteSettings(std::uint32_t dwOptionsA) {
        platform::CAppSettings settings;
        settings.m_dwOptionsA = dwOptionsA;
        settings.m_wCaptureDelayTime = 0;
        settings.m_strAutoSavePath = Output().string();
        settings.m_dwAutoSaveImageType = 2;
        ASSERT_EQ(settings.m_dwAutoSaveOptions, 5u);
        ASSERT_TRUE(settings.Save(platform::HiveLocations::FromEnvironment()));
        std::filesystem::create_directories(Output());
    }

    // Waits until the window manager has the program's window: start-up is done.
    bool WaitStarted(const CStudio& studio, const CDesktop& desktop) {
        return WaitUntil([&] { return desktop.WindowOf(studio.Pid()) != XCB_NONE; });
    }

    // The Desktop capture by its default hotkey, Ctrl+Alt+D.
    void PressDesktopHotkey() { m_input.Chord({XK_Control_L, XK_Alt_L, XK_d}); }

    static constexpr std::uint32_t kAutoSaveOptions = opt::kShowAfterCapture |
                                                      opt::kOpenImageWindow | opt::kSaveToFile |
                                                      opt::kAutoNameFile | opt::kAskBeforeDiscard;

    CDesktop m_desktop;
    testsupport::CXClient m_input{std::getenv("DISPLAY")};
};

} // namespace

TEST_F(SessionEndTest, ARunKilledAfterAutomaticSavesLeavesTheNextRunNewNumbers) {
    WriteSettings(kAutoSaveOptions);
    FileIdentity saved[4];
    {
        CStudio killed;
        ASSERT_TRUE(WaitStarted(killed, m_desktop));
        for (int n = 1; n <= 3; ++n) {
            PressDesktopHotkey();
            ASSERT_TRUE(WaitUntil([&] { return std::filesystem::exists(Saved(n)); }, 20s))
                << "capture " << n << " was not saved";
            saved[n] = IdentityOf(Saved(n));
        }
        killed.KillOutright(); // the exit path never runs
    }
    CStudio next;
    ASSERT_TRUE(WaitStarted(next, m_desktop));
    PressDesktopHotkey();
    const auto anyWritten = [&] {
        return std::filesystem::exists(Saved(4)) || IdentityOf(Saved(1)) != saved[1];
    };
    ASSERT_TRUE(WaitUntil(anyWritten, 20s)) << "the capture of the next run was not saved";
    EXPECT_TRUE(std::filesystem::exists(Saved(4)));
    for (int n = 1; n <= 3; ++n)
        EXPECT_EQ(IdentityOf(Saved(n)), saved[n]) << Saved(n) << " was replaced";
}

TEST_F(SessionEndTest, TerminationSignalsEndThroughTheExitPathAndWriteTheSettings) {
    // SIGTERM is what logout and shutdown send; SIGHUP and SIGINT end a run from a terminal. The
    // default options start hidden (minimised here, where no tray shows the program).
    for (int nSignal : {SIGTERM, SIGHUP, SIGINT}) {
        SCOPED_TRACE(nSignal);
        WriteSettings(0x0008167B);
        CStudio studio;
        ASSERT_TRUE(WaitStarted(studio, m_desktop));
        // Written at exit only: the hive is gone until the exit path writes the whole record.
        std::filesystem::remove(Hive());
        studio.Signal(nSignal);
        EXPECT_EQ(studio.WaitForExit(10s), 0);
        platform::CAppSettings written;
        written.Load(platform::HiveLocations::FromEnvironment());
        EXPECT_TRUE(std::filesystem::exists(Hive()));
        EXPECT_EQ(written.m_strAutoSavePath, Output().string());
        EXPECT_EQ(written.m_wCaptureDelayTime, 0u);
    }
}

TEST_F(SessionEndTest, AModifiedImageIsAskedAboutAndASecondSignalEndsWithoutWaiting) {
    // A capture that is not saved stays modified: the close request asks about it. The question
    // waits for the user; a second signal ends without the answer, still writing the settings.
    WriteSettings(opt::kShowAfterCapture | opt::kOpenImageWindow | opt::kAskBeforeDiscard);
    CStudio studio;
    ASSERT_TRUE(WaitStarted(studio, m_desktop));
    const xcb_window_t frame = m_desktop.WindowOf(studio.Pid());
    PressDesktopHotkey();
    // The image window's title reaches the main window's caption.
    ASSERT_TRUE(
        WaitUntil([&] { return m_desktop.Title(frame).find(" - ") != std::string::npos; }, 20s));
    std::filesystem::remove(Hive());
    studio.Signal(SIGTERM);
    ASSERT_TRUE(WaitUntil([&] { return m_desktop.WindowsOf(studio.Pid()) > 1; }))
        << "no question about the modified image";
    EXPECT_TRUE(studio.IsRunning());
    studio.Signal(SIGTERM);
    EXPECT_EQ(studio.WaitForExit(10s), 0);
    EXPECT_TRUE(std::filesystem::exists(Hive()));
}

TEST_F(SessionEndTest, ASignalWhileAnErrorBoxShowsEndsThroughTheExitPath) {
    // The box of a failed open runs its own event loop under the document that failed: the exit
    // path must not free that document beneath it.
    WriteSettings(0x0008167B & ~opt::kStartHidden);
    CStudio studio;
    ASSERT_TRUE(WaitStarted(studio, m_desktop));
    CStudio second({Output().string()}, {});
    EXPECT_EQ(second.WaitForExit(), 0);
    ASSERT_TRUE(WaitUntil([&] { return m_desktop.WindowsOf(studio.Pid()) > 1; }))
        << "no box for the folder";
    std::filesystem::remove(Hive());
    studio.Signal(SIGTERM);
    EXPECT_EQ(studio.WaitForExit(10s), 0);
    EXPECT_TRUE(std::filesystem::exists(Hive()));
}

TEST_F(SessionEndTest, TheXServerGoneStillWritesTheSettings) {
    REQUIRE_X_SERVER_PROGRAMS();
    // A server of its own, without a window manager, that the test can end.
    testsupport::CXServer::Options options;
    options.bWindowManager = false;
    auto pServer = std::make_unique<testsupport::CXServer>(options);
    const std::string display = pServer->DisplayName();
    WriteSettings(0x0008167B & ~opt::kStartHidden);
    // With an image window open (maximised, as the first one opens), whose state the workspace
    // section keeps with the rest of that section.
    const std::filesystem::path picture = Root() / "open.png";
    QImage image(8, 6, QImage::Format_RGB32);
    image.fill(Qt::green);
    ASSERT_TRUE(image.save(QString::fromStdString(picture.string()), "PNG"));
    CStudio studio({picture.string()}, {}, display);
    {
        CDesktop desktop(display);
        ASSERT_TRUE(WaitUntil([&] { return desktop.MappedWindowOf(studio.Pid()) != XCB_NONE; }));
        ASSERT_TRUE(WaitUntil([&] {
            return desktop.Title(desktop.MappedWindowOf(studio.Pid())).find("open.png") !=
                   std::string::npos;
        }));
    }
    std::filesystem::remove(Hive());
    pServer.reset();
    studio.WaitForExit(10s);
    EXPECT_FALSE(studio.IsRunning());
    platform::CAppSettings written;
    written.Load(platform::HiveLocations::FromEnvironment());
    EXPECT_TRUE(std::filesystem::exists(Hive()));
    EXPECT_EQ(written.m_strAutoSavePath, Output().string());
    platform::CWorkspaceSettings workspace(1, 2, {});
    workspace.m_bChildMaximized = false;
    workspace.Load(platform::HiveLocations::FromEnvironment());
    EXPECT_NE(workspace.m_crBack, 1u) << "the workspace section was not written";
    EXPECT_TRUE(workspace.m_bChildMaximized);
}
