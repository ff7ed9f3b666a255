// SPDX-License-Identifier: MIT
// CHotkeyOptionsPage: "Hotkey Options": the capture actions' hotkeys as Ctrl/Alt/Shift boxes
// and a key list per action, read from and written to the hook library's table. A row whose
// combination the library could not take (another program holds it, no such key) says so.
#pragma once

#include "dialogs/options/OptionsSubDlg.h"
#include "platform/AppSettings.h"

#include <array>
#include <cstdint>

class IHotkeyTableAccess;
class QCheckBox;
class QComboBox;
class QLabel;
class QPushButton;

class CHotkeyOptionsPage : public COptionsSubDlg {
    Q_OBJECT

public:
    static constexpr int kTemplateID = 165;
    static constexpr int kRowCount = platform::kCaptureActionCount;

    CHotkeyOptionsPage(const CUiServices& ui, IHotkeyTableAccess& hotkeys);

    bool CheckPage() override;
    void OnOK() override;

    // The word a row holds now.
    std::uint16_t ReadRow(int nRow) const;
    void ShowRow(int nRow, std::uint16_t wHotkey);
    // The row's note on its combination ("... is held by another program"), or empty.
    QString RowNote(int nRow) const;

protected:
    void BuildControls() override;
    void OnInitDialog() override;

private:
    struct Row {
        QCheckBox* pCtrl = nullptr;
        QCheckBox* pAlt = nullptr;
        QCheckBox* pShift = nullptr;
        QComboBox* pKey = nullptr;
        QLabel* pNote = nullptr;
    };

    void AddRow(int nRow, const QString& strLabel, class QGridLayout& grid);
    void FillKeyList(QComboBox& list) const;
    void UpdateNote(int nRow);
    void OnReset();
    void ReportUnusableChanges(const platform::HotkeyTable& table);

    IHotkeyTableAccess& m_hotkeys;
    std::array<Row, kRowCount> m_rows{};
    // The table as the library held it when the page was first shown.
    platform::HotkeyTable m_shown{};
    QPushButton* m_pReset = nullptr;
};
