// SPDX-License-Identifier: MIT
// CIntensityDlg: "Intensity": intensity, offset and exponent (x 0.1) of the intensity curve.
#pragma once

#include "dialogs/PreviewDlg.h"
#include "document/DocumentHost.h"

class CIntensityDlg : public CPreviewDlg {
    Q_OBJECT

public:
    CIntensityDlg(const CUiServices& ui, const CImageBitmap* pImage, QWidget* pParent = nullptr);

    IntensityDialogResult Result() const;
    CValueRow* IntensityRow() const noexcept { return m_pIntensity; }
    CValueRow* OffsetRow() const noexcept { return m_pOffset; }
    CValueRow* ExponentRow() const noexcept { return m_pExponent; }

protected:
    std::unique_ptr<CImageFilter> MakeFilter() const override;

private:
    CValueRow* m_pIntensity;
    CValueRow* m_pOffset;
    CValueRow* m_pExponent;
};
