// SPDX-License-Identifier: MIT
// quorvi-studio started without an X display: one clear line, exit code 1, no crash.
#include "support/TempXdgTest.h"

#include <algorithm>
#include <cstdlib>
#include <optional>
#include <string>

namespace {

// Sets or unsets an environment variable for the life of the object.
class CEnvOverride {
public:
    CEnvOverride(const char* pszName, const char* pszValue) : m_strName(pszName) {
        if (const char* pszOld = std::getenv(pszName))
            m_old = pszOld;
        if (pszValue != nullptr)
            setenv(pszName, pszValue, 1);
        else
            unsetenv(pszName);
    }
    ~CEnvOverride() {
        if (m_old)
            setenv(m_strName.c_str(), m_old->c_str(), 1);
        else
            unsetenv(m_strName.c_str());
    }
    CEnvOverride(const CEnvOverride&) = delete;
    CEnvOverride& operator=(const CEnvOverride&) = delete;

private:
    std::string m_strName;
    std::optional<std::string> m_old;
};

using StartWithoutDisplay = testsupport::CTempXdgTest;

} // namespace

TEST_F(StartWithoutDisplay, SaysSoInOneLineAndExitsWithOne) {
    CEnvOverride platform("QT_QPA_PLATFORM", nullptr);
    CEnvOverride wayland("WAYLAND_DISPLAY", nullptr);
    CEnvOverride session("XDG_SESSION_TYPE", nullptr);
    {
        CEnvOverride display("DISPLAY", nullptr);
        const auto result = testsupport::RunProgram({QUORVI_STUDIO_PATH});
        EXPECT_EQ(result.exitCode, 1);
        EXPECT_EQ(result.err, "quorvi-studio: no X display (DISPLAY is not set); set DISPLAY or "
                              "run it under xvfb-run.\n");
    }
    {
        // A display that cannot be opened.
        CEnvOverride display("DISPLAY", ":97531");
        const auto result = testsupport::RunProgram({QUORVI_STUDIO_PATH});
        EXPECT_EQ(result.exitCode, 1);
        EXPECT_NE(result.err.find("cannot open X display \":97531\""), std::string::npos)
            << result.err;
        EXPECT_NE(result.err.find("xvfb-run"), std::string::npos);
        EXPECT_EQ(std::count(result.err.begin(), result.err.end(), '\n'), 1);
    }
}

TEST_F(StartWithoutDisplay, AnUnknownCaptureIsNamedWithTheKnownOnesBeforeAnythingElse) {
    CEnvOverride display("DISPLAY", nullptr);
    for (const char* arg : {"--capture=sideways", "--capture"}) {
        const auto result = testsupport::RunProgram({QUORVI_STUDIO_PATH, arg});
        EXPECT_EQ(result.exitCode, 2) << arg;
        EXPECT_NE(result.err.find("quorvi-studio: --capture needs one of: desktop, active, client, "
                                  "control, window, rectangle, square, circle, ellipse, triangle, "
                                  "polygon, menu, icon, repeat-last, default"),
                  std::string::npos)
            << result.err;
        EXPECT_EQ(result.err.find("no X display"), std::string::npos) << result.err;
    }
}
