// SPDX-License-Identifier: MIT
// The fixture of the Wayland tests: a headless Wayland desktop of its own per test, a temporary
// home for the programs, a known picture on screen, and grim's picture to compare with.
#pragma once

#include "support/TempXdgTest.h"
#include "support/WaylandDesktop.h"

#include <QImage>
#include <QRect>

#include <sys/types.h>

#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace waylandtest {

// The virtual pointer of the session: moves and left-button presses in layout pixels.
class CPointer {
public:
    explicit CPointer(const testsupport::CWaylandDesktop& desktop);
    ~CPointer();
    CPointer(const CPointer&) = delete;
    CPointer& operator=(const CPointer&) = delete;

    bool IsReady() const noexcept { return m_bReady; }
    // Each returns once the compositor has taken the event.
    bool Move(int x, int y);
    bool Press();
    bool Release();

private:
    bool Send(const std::string& strCommand);
    pid_t m_pid = -1;
    int m_fdIn = -1;
    int m_fdOut = -1;
    bool m_bReady = false;
};

class WaylandTest : public testsupport::CTempXdgTest {
protected:
    void SetUp() override;
    void TearDown() override;
    // False: a session whose portal finds no backend, so it offers no screenshots.
    virtual bool PortalBackend() const { return true; }

    testsupport::CWaylandDesktop& Desktop() { return *m_pDesktop; }
    // A native Wayland window over the whole output with the known picture; waits until the
    // compositor shows it.
    void ShowPattern();
    // The folder automatic saves go to (PNG, so that pixels compare exactly).
    std::filesystem::path OutputDir() const { return Root() / "Output"; }
    // The first capture saved there, once it is complete.
    std::optional<std::filesystem::path> WaitForCapture();
    std::unique_ptr<testsupport::CSessionProcess> StartStudio(const std::vector<std::string>& args,
                                                              const std::string& strLogName);
    // `quorvi ARGS`, to its end: exit status (nothing when it did not end) and its output.
    std::optional<int> RunCli(const std::vector<std::string>& args, std::string* pOutput = nullptr);
    // grim's picture of the whole output, or of rc.
    QImage GrimPicture(const QRect& rc = {});
    // Fails the test at the first pixel that differs (the fourth byte aside).
    static void ExpectSamePixels(const QImage& actual, const QImage& expected);

private:
    std::unique_ptr<testsupport::CWaylandDesktop> m_pDesktop;
    std::unique_ptr<testsupport::CSessionProcess> m_pPattern;
    int m_nRun = 0;
};

class RefusingPortalTest : public WaylandTest {
protected:
    bool PortalBackend() const override { return false; }
};

} // namespace waylandtest
