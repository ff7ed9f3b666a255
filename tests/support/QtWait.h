// SPDX-License-Identifier: MIT
// WaitUntil for tests with a Qt event loop: the loop runs between looks, so timers, posted
// events and the window system's events move the condition on.
#pragma once

#include "support/Wait.h"

#include <QEventLoop>
#include <QTimer>

namespace testsupport {

inline bool WaitUntilPumping(const std::function<bool()>& pred,
                             std::chrono::milliseconds timeout = std::chrono::seconds(10)) {
    return WaitUntil(pred, timeout, [](std::chrono::milliseconds slice) {
        QEventLoop loop;
        QTimer::singleShot(slice, &loop, &QEventLoop::quit);
        loop.exec();
    });
}

// Runs the event loop until the work queued before this call (posted events, zero timers) has
// run: a marker queued both ways after it comes later. For showing that something queued
// earlier did not happen, without waiting a guessed time.
inline bool DrainPostedEvents(std::chrono::milliseconds timeout = std::chrono::seconds(10)) {
    bool bReached = false;
    QObject context;
    QTimer::singleShot(0, &context, [&context, &bReached] {
        QMetaObject::invokeMethod(
            &context, [&bReached] { bReached = true; }, Qt::QueuedConnection);
    });
    return WaitUntilPumping([&bReached] { return bReached; }, timeout);
}

} // namespace testsupport
