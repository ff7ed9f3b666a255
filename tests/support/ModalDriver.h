// SPDX-License-Identifier: MIT
// Driving a modal dialog from a test: the code that opens it blocks in the dialog's own event
// loop, so the test's steps run from that loop once the dialog is up. Helpers find controls the
// way a user does, by the text on them or on their label.
#pragma once

#include <QAbstractButton>
#include <QApplication>
#include <QElapsedTimer>
#include <QLabel>
#include <QTimer>
#include <QWidget>

#include <gtest/gtest.h>

#include <functional>

namespace testsupport {

// Runs drive on the first shown modal widget of type T, from the event loop. A dialog that
// never shows fails the test after timeoutMs (and whatever modal widget is up is closed, so the
// test ends); a drive that stops on a fatal failure leaves no dialog open either.
template <class T> void WhenModalShows(std::function<void(T&)> drive, int timeoutMs = 30000) {
    auto* pTimer = new QTimer(qApp);
    auto* pClock = new QElapsedTimer;
    pClock->start();
    pTimer->setInterval(5);
    QObject::connect(pTimer, &QTimer::timeout, pTimer, [=] {
        auto* pModal = qobject_cast<T*>(QApplication::activeModalWidget());
        if (pModal == nullptr || !pModal->isVisible()) {
            if (pClock->elapsed() < timeoutMs)
                return;
            ADD_FAILURE() << "the dialog did not show";
            if (QWidget* pOther = QApplication::activeModalWidget())
                pOther->close();
        } else {
            pTimer->stop();
            drive(*pModal);
            if (::testing::Test::HasFatalFailure() && pModal->isVisible())
                pModal->close();
        }
        pTimer->stop();
        pTimer->deleteLater();
        delete pClock;
    });
    pTimer->start();
}

// The button (push button, check box) of root showing strText, mnemonic included.
template <class T = QAbstractButton>
T* ButtonWithText(const QWidget& root, const QString& strText) {
    for (T* pButton : root.findChildren<T*>()) {
        if (pButton->text() == strText)
            return pButton;
    }
    return nullptr;
}

// The control a label showing strText stands for.
template <class T> T* FieldLabelled(const QWidget& root, const QString& strText) {
    for (QLabel* pLabel : root.findChildren<QLabel*>()) {
        if (pLabel->text() == strText)
            return qobject_cast<T*>(pLabel->buddy());
    }
    return nullptr;
}

} // namespace testsupport
