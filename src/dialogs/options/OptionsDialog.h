// SPDX-License-Identifier: MIT
// COptionsDialog: one run of the options dialog with its five pages. The pages edit a copy of
// the settings record; OK hands back what they changed, Cancel nothing. Hotkeys go to the hook
// library's table when the hotkey page stores them.
#pragma once

class CUiServices;
class IHotkeyTableAccess;
class IOptionsOwner;
class QWidget;

namespace platform {
class CAppSettings;
}

class COptionsDialog {
public:
    // The help topic of the options dialog, whichever page shows.
    static constexpr int kHelpTopic = 1;

    COptionsDialog(const CUiServices& ui, platform::CAppSettings& settings, IOptionsOwner& owner,
                   IHotkeyTableAccess& hotkeys, QWidget* pParent);

    // Runs the dialog modally; QDialog::Accepted after OK (the changes are in the settings).
    int Run();

private:
    const CUiServices& m_ui;
    platform::CAppSettings& m_settings;
    IOptionsOwner& m_owner;
    IHotkeyTableAccess& m_hotkeys;
    QWidget* m_pParent;
};
