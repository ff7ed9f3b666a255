// SPDX-License-Identifier: MIT
// CImageSaveOptionsPage: "Image Save Options": the stored JPEG set used by automatic saves
// (optimised coding, quality, smoothing, resolution).
#pragma once

#include "dialogs/options/OptionsSubDlg.h"

class CRangeSpinBox;
class QCheckBox;

namespace platform {
class CAppSettings;
}

class CImageSaveOptionsPage : public COptionsSubDlg {
    Q_OBJECT

public:
    static constexpr int kTemplateID = 365;
    static constexpr int kMaxPercent = 100;
    static constexpr int kMaxDpi = 10000;

    CImageSaveOptionsPage(const CUiServices& ui, platform::CAppSettings& settings);

    void OnOK() override;

protected:
    void BuildControls() override;
    void OnInitDialog() override;
    void DoDataExchange(CDataExchange& dx) override;

private:
    platform::CAppSettings& m_settings;
    QCheckBox* m_pOptimize = nullptr;
    CRangeSpinBox* m_pQuality = nullptr;
    CRangeSpinBox* m_pSmoothing = nullptr;
    CRangeSpinBox* m_pDpiX = nullptr;
    CRangeSpinBox* m_pDpiY = nullptr;
    int m_bOptimize = 0;
    int m_nQuality = 0;
    int m_nSmoothing = 0;
    int m_nDpiX = 0;
    int m_nDpiY = 0;
};
