// SPDX-License-Identifier: MIT
// The desktop program in a Wayland session: captures asked for on its command line (a key bound
// in the desktop's settings runs it so), taken through the portal, picked on the frozen picture
// with the virtual pointer, saved as PNG and compared with grim's picture.
#include "WaylandFixture.h"

#include "support/Wait.h"

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>

namespace waylandtest {
namespace {

using namespace std::chrono_literals;
using testsupport::WaitUntil;

QImage Load(const std::filesystem::path& file) {
    return QImage(QString::fromStdString(file.string()));
}

bool IsPickerOverlay(const std::string& strWindow) {
    return strWindow.find("\"shell\": \"xwayland\"") != std::string::npos &&
           strWindow.find("\"fullscreen_mode\": 1") != std::string::npos;
}

TEST_F(WaylandTest, StudioStartedForADesktopCaptureSavesWhatGrimSees) {
    ShowPattern();
    const QImage screen = GrimPicture(); // before the program's own window comes
    auto studio = StartStudio({"--capture", "desktop"}, "studio.log");
    const auto capture = WaitForCapture();
    ASSERT_TRUE(capture.has_value()) << studio->Output();
    ExpectSamePixels(Load(*capture), screen);
}

TEST_F(WaylandTest, RunningStudioPicksARectangleAskedForByASecondStart) {
    ShowPattern();
    const QImage screen = GrimPicture();
    CPointer pointer(Desktop());
    ASSERT_TRUE(pointer.IsReady());
    auto studio = StartStudio({}, "studio.log");
    const std::filesystem::path socket = Root() / "runtime" / "QuorviStudio.socket";
    ASSERT_TRUE(WaitUntil([&] { return std::filesystem::exists(socket); }, 30s))
        << studio->Output();

    auto second = StartStudio({"--capture", "rectangle"}, "second.log");
    EXPECT_EQ(second->WaitForExit(), 0) << second->Output();
    ASSERT_TRUE(studio->WaitForOutput("capture: picking on the portal's picture"))
        << studio->Output();
    // The overlay over everything, with the focus: the pointer's events are its own.
    ASSERT_TRUE(WaitUntil([&] { return IsPickerOverlay(Desktop().FocusedWindow()); }))
        << Desktop().FocusedWindow();
    // Press, drag and release: the rectangle from the press to the release.
    ASSERT_TRUE(pointer.Move(100, 120));
    ASSERT_TRUE(pointer.Press());
    ASSERT_TRUE(pointer.Move(400, 300));
    ASSERT_TRUE(pointer.Release());
    const auto capture = WaitForCapture();
    ASSERT_TRUE(capture.has_value()) << studio->Output();
    ExpectSamePixels(Load(*capture), screen.copy(100, 120, 300, 180));
}

TEST_F(WaylandTest, StudioSaysWindowCapturesNeedWhatTheSessionDoesNotGive) {
    auto studio = StartStudio({"--capture", "active"}, "studio.log");
    EXPECT_TRUE(studio->WaitForOutput(
        "message box: This Wayland session does not tell programs where windows and menus are"))
        << studio->Output();
    EXPECT_EQ(studio->Output().find("portal: the picture is"), std::string::npos)
        << "a picture was taken for a window capture";
    EXPECT_TRUE(std::filesystem::is_empty(OutputDir()));
}

TEST_F(RefusingPortalTest, StudioSaysNoPortalAndOpensNoImage) {
    auto studio = StartStudio({"--capture", "desktop"}, "studio.log");
    EXPECT_TRUE(studio->WaitForOutput(
        "message box: No desktop portal takes screenshots in this session, so nothing was "
        "captured."))
        << studio->Output();
    EXPECT_TRUE(std::filesystem::is_empty(OutputDir()));
}

} // namespace
} // namespace waylandtest
