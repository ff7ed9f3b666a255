// SPDX-License-Identifier: MIT
// CContrastDlg: "Adjust Contrast Effect": the contrast (x 0.1 as the filter's factor) and the
// intensity offset it pivots around.
#pragma once

#include "dialogs/PreviewDlg.h"
#include "document/DocumentHost.h"

class CContrastDlg : public CPreviewDlg {
    Q_OBJECT

public:
    CContrastDlg(const CUiServices& ui, const CImageBitmap* pImage, QWidget* pParent = nullptr);

    ContrastDialogResult Result() const;
    CValueRow* ContrastRow() const noexcept { return m_pContrast; }
    CValueRow* OffsetRow() const noexcept { return m_pOffset; }

protected:
    std::unique_ptr<CImageFilter> MakeFilter() const override;

private:
    CValueRow* m_pContrast;
    CValueRow* m_pOffset;
};
