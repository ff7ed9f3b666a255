// SPDX-License-Identifier: MIT
// CResizeDlg: "Resize Operation": the new width and height in pixels, by default in the
// proportion of the image.
#pragma once

#include "dialogs/LiveApplyDlg.h"

class CProportionLink;

class CResizeDlg : public CLiveApplyDlg {
    Q_OBJECT

public:
    CResizeDlg(const CUiServices& ui, CTavixCaptureDoc& doc, QWidget* pParent = nullptr);

    CValueRow* WidthRow() const noexcept { return m_pWidth; }
    CValueRow* HeightRow() const noexcept { return m_pHeight; }

protected:
    QSize TargetSize() const override;
    void ShowRevertedSize() override;

private:
    CValueRow* m_pWidth;
    CValueRow* m_pHeight;
    CProportionLink* m_pProportion;
};
