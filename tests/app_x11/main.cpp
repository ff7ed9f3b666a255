// SPDX-License-Identifier: MIT
// Test entry of the X11 application tests: a private Xvfb with openbox, and a QApplication on
// the xcb platform connected to it.
#include "support/XServer.h"

#include <QApplication>

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>

int main(int argc, char** argv) {
    bool bListOnly = false;
    for (int i = 1; i < argc; ++i)
        bListOnly = bListOnly || std::strcmp(argv[i], "--gtest_list_tests") == 0;
    ::testing::InitGoogleTest(&argc, argv);
    if (bListOnly)
        return RUN_ALL_TESTS();
    std::unique_ptr<testsupport::CXServer> pServer;
    try {
        pServer = std::make_unique<testsupport::CXServer>();
    } catch (const std::exception& error) {
        std::fprintf(stderr, "no X server for the tests: %s\n", error.what());
        return 1;
    }
    setenv("DISPLAY", pServer->DisplayName().c_str(), 1);
    setenv("QT_QPA_PLATFORM", "xcb", 1);
    // No desktop bus here: Qt's tray then docks by XEmbed into the tests' tray host.
    unsetenv("DBUS_SESSION_BUS_ADDRESS");
    unsetenv("WAYLAND_DISPLAY");
    int nResult = 1;
    {
        QApplication app(argc, argv);
        QApplication::setQuitOnLastWindowClosed(false);
        nResult = RUN_ALL_TESTS();
    }
    return nResult;
}
