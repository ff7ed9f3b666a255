// SPDX-License-Identifier: MIT
// What the capture engine needs from the main frame: the settings, the window to get out of the
// way, the show/hide rules around captures, hotkey texts and captions, and capture delivery.
#pragma once

#include <QString>

class CImageBitmap;
class CUiServices;
class QWidget;

namespace platform {
class CAppSettings;
}

class ICaptureHost {
public:
    virtual ~ICaptureHost() = default;

    virtual platform::CAppSettings& Settings() = 0;
    // The message boxes of the engine's messages.
    virtual const CUiServices& Ui() = 0;
    // The main window, hidden while the screen is prepared; null when there is none.
    virtual QWidget* MainWindow() = 0;
    // Brings the main window back after a capture (or before a message about one).
    virtual void ShowAfterCapture() = 0;
    // Keeps the main window out of sight after a capture.
    virtual void HideForCapture() = 0;
    // Notes the main window as an action finds it, before getting it out of the way: shown or
    // not, where, and which image window is active.
    virtual void KeepWindowState() = 0;
    // An action that captured nothing (cancelled, or nothing could be grabbed) leaves the main
    // window and its active image window as KeepWindowState found them.
    virtual void RestoreWindowState() = 0;
    // The text of the hotkey of an action index for messages ("Ctrl+Shift+Alt+C"), or empty.
    virtual QString HotkeyText(int nAction) = 0;
    // The caption of an action index as the menus show it, without hotkey or mnemonic
    // ("Rectangle"), or empty.
    virtual QString ActionCaption(int nAction) = 0;
    // Hands a grabbed bitmap to capture output; the bitmap lives only during the call.
    virtual void DeliverCapture(const CImageBitmap& bitmap) = 0;
};
