// SPDX-License-Identifier: MIT
// CStretchDlg: "Stretch Operation": width and height each by its own percentage of the image as
// it was when the dialog opened, or by one while "Keep aspect ratio" is on (off at first:
// stretching is what the dialog is for).
#pragma once

#include "dialogs/LiveApplyDlg.h"

class CProportionLink;

class CStretchDlg : public CLiveApplyDlg {
    Q_OBJECT

public:
    CStretchDlg(const CUiServices& ui, CTavixCaptureDoc& doc, QWidget* pParent = nullptr);

    CValueRow* HorizontalRow() const noexcept { return m_pHorizontal; }
    CValueRow* VerticalRow() const noexcept { return m_pVertical; }

protected:
    QSize TargetSize() const override;
    void ShowRevertedSize() override;

private:
    CValueRow* m_pHorizontal;
    CValueRow* m_pVertical;
    CProportionLink* m_pProportion;
};
