// SPDX-License-Identifier: MIT
// Before Qt starts: the desktop program needs an X display. Without one it says so in one line
// and ends; in a Wayland session it runs through XWayland (its windows, tray and hook are X11)
// while its captures go through the desktop portal.
#pragma once

#include <QString>

#include <optional>

struct DisplayChoice {
    bool bForcedXcb = false; // a Wayland session: the xcb platform was chosen
    QString strStatusNote;   // said once in the status bar after start-up
};

// Reads the environment and, for a Wayland session, sets QT_QPA_PLATFORM=xcb. When the program
// will use X11 and no display can be opened, returns nothing with the message in *pError. A
// platform set explicitly in QT_QPA_PLATFORM (offscreen for tests) is left alone.
std::optional<DisplayChoice> ChooseDisplay(QString* pError);
