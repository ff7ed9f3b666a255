// SPDX-License-Identifier: MIT
// The display check before Qt starts.
#include "app/DisplayCheck.h"

#include "capture/engine/CaptureEngine.h"
#include "capture/portal/WaylandSession.h"

#include <xcb/xcb.h>

#include <QByteArray>

namespace {

// The desktop runs on Wayland: the program still runs on X11, through XWayland.
bool IsWaylandDesktop() {
    return qgetenv("XDG_SESSION_TYPE") == "wayland" || !qgetenv("WAYLAND_DISPLAY").isEmpty();
}

// Opens and closes a connection: the only sure test that the display is usable.
bool CanOpenDisplay(const QByteArray& display) {
    xcb_connection_t* pConnection = xcb_connect(display.constData(), nullptr);
    const bool bOk = pConnection != nullptr && xcb_connection_has_error(pConnection) == 0;
    if (pConnection != nullptr)
        xcb_disconnect(pConnection);
    return bOk;
}

} // namespace

std::optional<DisplayChoice> ChooseDisplay(QString* pError) {
    DisplayChoice choice;
    const QByteArray platform = qgetenv("QT_QPA_PLATFORM");
    if (!platform.isEmpty() && !platform.startsWith("xcb"))
        return choice;
    if (platform.isEmpty() && IsWaylandDesktop()) {
        qputenv("QT_QPA_PLATFORM", "xcb");
        choice.bForcedXcb = true;
        // Until the desktop's global shortcuts have answered. Captures kept on an X server of
        // their own (QUORVI_CAPTURE=x11) need no portal and take their hotkeys themselves.
        if (capture::IsWaylandSession())
            choice.strStatusNote = QString::fromLatin1(CCaptureEngine::kBindCommandNote);
    }
    const QByteArray display = qgetenv("DISPLAY");
    if (display.isEmpty()) {
        if (pError != nullptr)
            *pError = QStringLiteral("quorvi-studio: no X display (DISPLAY is not set); set "
                                     "DISPLAY or run it under xvfb-run.");
        return std::nullopt;
    }
    if (!CanOpenDisplay(display)) {
        if (pError != nullptr)
            *pError = QStringLiteral("quorvi-studio: cannot open X display \"%1\"; set DISPLAY to "
                                     "a running X server or "
                                     "run it under xvfb-run.")
                          .arg(QString::fromLocal8Bit(display));
        return std::nullopt;
    }
    return choice;
}
