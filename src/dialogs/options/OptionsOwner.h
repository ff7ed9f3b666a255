// SPDX-License-Identifier: MIT
// IOptionsOwner: what the options pages need of the program that opens them, besides the
// settings they edit: the capture actions' captions, the two resets that act at once and the help.
#pragma once

#include <QString>

class IOptionsOwner {
public:
    virtual ~IOptionsOwner() = default;
    // The caption of a capture action index as the menus show it, mnemonic included.
    virtual QString CaptureActionCaption(int nAction) const = 0;
    // Empties the recent-file list now, whatever the dialog's end.
    virtual void ClearRecentFileList() = 0;
    // Puts the three colours in use back to their defaults now, whatever the dialog's end.
    virtual void ResetDefaultColors() = 0;
    // Opens a page of the help (the dialog's Help button).
    virtual void ShowHelpTopic(int nTopic) = 0;
};
