// SPDX-License-Identifier: MIT
// Test entry of the display-less Qt tests: a QCoreApplication for the resources, the string
// table and deferred deletes.
#include <QCoreApplication>

#include <gtest/gtest.h>

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    const int nResult = RUN_ALL_TESTS();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    return nResult;
}
