// SPDX-License-Identifier: MIT
// CBrightnessDlg: "Change Brightness Effect", one value from -100 to 100.
#pragma once

#include "dialogs/PreviewDlg.h"

class CBrightnessDlg : public CPreviewDlg {
    Q_OBJECT

public:
    CBrightnessDlg(const CUiServices& ui, const CImageBitmap* pImage, QWidget* pParent = nullptr);

    int Brightness() const { return m_pBrightness->Value(); }
    CValueRow* BrightnessRow() const noexcept { return m_pBrightness; }

protected:
    std::unique_ptr<CImageFilter> MakeFilter() const override;

private:
    CValueRow* m_pBrightness;
};
