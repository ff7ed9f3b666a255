// SPDX-License-Identifier: MIT
// CGeneralOptionsPage: "General Options": window and tray behaviour, sounds, the recent-file
// list, start at login, the pointer in captures, the default capture action, the delay and the
// memory the undo history may take.
#pragma once

#include "dialogs/options/OptionsSubDlg.h"

#include <cstdint>
#include <vector>

class IOptionsOwner;
class QCheckBox;
class QComboBox;
class QGridLayout;
class QLineEdit;
class QPushButton;

namespace platform {
class CAppSettings;
}

class CGeneralOptionsPage : public COptionsSubDlg {
    Q_OBJECT

public:
    static constexpr int kTemplateID = 344;
    static constexpr int kMaxDelayMs = 5000;
    static constexpr int kMaxUndoMemoryMB = 1 << 20;

    CGeneralOptionsPage(const CUiServices& ui, platform::CAppSettings& settings,
                        IOptionsOwner& owner);

    void OnOK() override;

protected:
    void BuildControls() override;
    void OnInitDialog() override;
    void DoDataExchange(CDataExchange& dx) override;

private:
    struct FlagBox {
        QCheckBox* pBox;
        std::uint32_t dwBit;
        int nChecked;
    };

    // The default action, the delay and the undo history's memory, one row each.
    QGridLayout* BuildValueRows();
    void FillDefaultActions();
    void OnResetRecentList();
    void StoreStartupEntry();

    platform::CAppSettings& m_settings;
    IOptionsOwner& m_owner;
    std::vector<FlagBox> m_flags;
    QCheckBox* m_pAutoRun = nullptr;
    QPushButton* m_pResetRecent = nullptr;
    QComboBox* m_pDefaultAction = nullptr;
    QLineEdit* m_pDelay = nullptr;
    QLineEdit* m_pUndoMemory = nullptr;
    int m_bAutoRun = 0;
    int m_bAutoRunBefore = 0;
    int m_nDelay = 0;
    int m_nUndoMemoryMB = 0;
};
