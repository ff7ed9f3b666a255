// SPDX-License-Identifier: MIT
// CCaptureOutputPage: "Capture Output": where a capture goes (image window, clipboard, printer,
// file) and how automatic saves are named: folder, lead name, counter digits and start, type.
#pragma once

#include "dialogs/options/OptionsSubDlg.h"

#include <QList>
#include <QString>

#include <cstdint>

class CRangeSpinBox;
class QCheckBox;
class QComboBox;
class QLineEdit;
class QPushButton;

namespace platform {
class CAppSettings;
}

class CCaptureOutputPage : public COptionsSubDlg {
    Q_OBJECT

public:
    static constexpr int kTemplateID = 346;
    static constexpr int kMaxPathChars = 250;
    static constexpr int kMaxLeadChars = 12;

    CCaptureOutputPage(const CUiServices& ui, platform::CAppSettings& settings);

    // A missing output folder is offered to be made here rather than failing the first capture.
    bool CheckPage() override;
    void OnOK() override;

    // The lead name as it is stored: cut at the first character a file name may not hold.
    static QString StoredLeadName(const QString& strTyped);

protected:
    void BuildControls() override;
    void OnInitDialog() override;
    void DoDataExchange(CDataExchange& dx) override;

private:
    struct FlagBox {
        QCheckBox* pBox;
        std::uint32_t dwBit;
        bool bAutoSaveOptions; // a bit of "AutoSaveOptions" rather than "OptionsA"
        int nChecked;
    };

    QCheckBox* AddFlag(const char* pszText, std::uint32_t dwBit, bool bAutoSaveOptions = false);
    void BuildNamingGroup(class QVBoxLayout& layout);
    void FillTypeList();
    void EnableSaveControls();
    void OnSaveToggled(bool bChecked);
    void OnPrintToggled(bool bChecked);
    void OnBrowse();
    bool SavesAutomatically() const;
    bool OutputFolderIsThere();

    platform::CAppSettings& m_settings;
    std::vector<FlagBox> m_flags;
    QCheckBox* m_pWindow = nullptr;
    QCheckBox* m_pPrint = nullptr;
    QCheckBox* m_pSave = nullptr;
    QCheckBox* m_pAutoName = nullptr;
    QLineEdit* m_pPath = nullptr;
    QLineEdit* m_pLead = nullptr;
    CRangeSpinBox* m_pDigits = nullptr;
    CRangeSpinBox* m_pStart = nullptr;
    QComboBox* m_pType = nullptr;
    // The controls that only matter when captures are saved, and the naming ones among them.
    QList<QWidget*> m_saveControls;
    QList<QWidget*> m_namingControls;
    QString m_strPath;
    QString m_strLead;
    int m_nDigits = 0;
    int m_nStart = 0;
};
