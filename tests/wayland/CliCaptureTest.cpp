// SPDX-License-Identifier: MIT
// `quorvi capture` in a Wayland session: the desktop and a rectangle come from the desktop
// portal with the pixels grim sees; window captures are refused with the reason.
#include "WaylandFixture.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace waylandtest {
namespace {

// xdg-desktop-portal-wlr leaves its picture here; the capture removes it once read.
const std::filesystem::path kPortalPicture = "/tmp/out.png";

TEST_F(WaylandTest, CliCapturesTheDesktopAndARectangleAsGrimSeesThem) {
    ShowPattern();
    const QImage screen = GrimPicture();
    const std::filesystem::path desktop = Root() / "desktop.png";
    std::string strOutput;
    ASSERT_EQ(RunCli({"capture", "desktop", "-o", desktop.string()}, &strOutput), 0) << strOutput;
    ExpectSamePixels(QImage(QString::fromStdString(desktop.string())), screen);
    EXPECT_FALSE(std::filesystem::exists(kPortalPicture));

    const std::filesystem::path rect = Root() / "rect.png";
    ASSERT_EQ(RunCli({"capture", "rect", "100,50,333,201", "-o", rect.string()}, &strOutput), 0)
        << strOutput;
    ExpectSamePixels(QImage(QString::fromStdString(rect.string())), screen.copy(100, 50, 333, 201));
    EXPECT_FALSE(std::filesystem::exists(kPortalPicture));
}

TEST_F(WaylandTest, CliRefusesWindowCapturesWithTheReason) {
    const std::filesystem::path out = Root() / "active.png";
    for (const char* what : {"active", "client"}) {
        std::string strOutput;
        EXPECT_EQ(RunCli({"capture", what, "-o", out.string()}, &strOutput), 1);
        EXPECT_NE(strOutput.find("a Wayland session does not tell programs where windows are"),
                  std::string::npos)
            << strOutput;
        EXPECT_FALSE(std::filesystem::exists(out));
    }
}

TEST_F(RefusingPortalTest, CliSaysNoPortalTakesScreenshots) {
    const std::filesystem::path out = Root() / "desktop.png";
    std::string strOutput;
    EXPECT_EQ(RunCli({"capture", "desktop", "-o", out.string()}, &strOutput), 1);
    EXPECT_NE(strOutput.find("No desktop portal takes screenshots in this session, so nothing was "
                             "captured."),
              std::string::npos)
        << strOutput;
    EXPECT_FALSE(std::filesystem::exists(out));
}

} // namespace
} // namespace waylandtest
