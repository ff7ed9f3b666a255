// SPDX-License-Identifier: MIT
// Plays the user's part in a modal dialog: the script runs once the dialog is the active modal
// widget, from inside its event loop, and must close it.
#pragma once

#include <QApplication>
#include <QTimer>
#include <QWidget>

#include <functional>

namespace apptest {

// script gets the modal dialog of type T once it shows (a dialog of another type is left alone).
template <class T> void WhenModal(std::function<void(T&)> script) {
    auto* pTimer = new QTimer;
    pTimer->setInterval(5);
    QObject::connect(pTimer, &QTimer::timeout, pTimer, [pTimer, script] {
        auto* pDialog = qobject_cast<T*>(QApplication::activeModalWidget());
        if (pDialog == nullptr || !pDialog->isVisible())
            return;
        pTimer->stop();
        pTimer->deleteLater();
        script(*pDialog);
    });
    pTimer->start();
}

} // namespace apptest
