// SPDX-License-Identifier: MIT
// Opening a web address, a mail address, a file or a folder in the desktop's program for it
// (browser, mailer, file manager), telling the user when no program takes it.
#pragma once

class CUiServices;
class QUrl;

// True when a program was started for url. Otherwise "Can't open link:" with the reason is shown
// (with a beep) and the answer is false.
bool ShellOpen(const QUrl& url, const CUiServices& ui);
