// SPDX-License-Identifier: MIT
// The capture engine tests' entry: one private X server for the process, a QApplication on it.
#include "EngineFixture.h"

#include <QApplication>

#include <gtest/gtest.h>

#include <cstdlib>

int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    const bool bListing = GTEST_FLAG_GET(list_tests);
    if (!bListing && testsupport::HaveProgram("Xvfb") && testsupport::HaveProgram("openbox")) {
        StartEngineTestServer();
        setenv("DISPLAY", EngineTestServer()->DisplayName().c_str(), 1);
        setenv("QT_QPA_PLATFORM", "xcb", 1);
    } else {
        setenv("QT_QPA_PLATFORM", "offscreen", 1);
    }
    int nResult;
    {
        QApplication app(argc, argv);
        nResult = RUN_ALL_TESTS();
    }
    StopEngineTestServer();
    return nResult;
}
