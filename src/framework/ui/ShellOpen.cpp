// SPDX-License-Identifier: MIT
// Opening addresses and folders with the desktop's programs.
#include "framework/ui/ShellOpen.h"

#include "framework/CommandIds.h"
#include "framework/StringTable.h"
#include "framework/UiServices.h"

#include <QApplication>
#include <QDesktopServices>
#include <QUrl>

bool ShellOpen(const QUrl& url, const CUiServices& ui) {
    if (QDesktopServices::openUrl(url))
        return true;
    // Qt finds no browser or file manager at all (no xdg-open, no known browser): without a
    // word the command would seem to do nothing.
    QApplication::beep();
    ui.AppMessageBox(FormatString1(IDS_CANT_OPEN_LINK, LoadString(IDS_NO_APPLICATION)),
                     EMsgButtons::Ok, EMsgIcon::Exclamation);
    return false;
}
