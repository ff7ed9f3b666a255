// SPDX-License-Identifier: MIT
// CScaleDlg: "Scale Image Operation": width and height by one percentage of the image as it
// was when the dialog opened.
#pragma once

#include "dialogs/LiveApplyDlg.h"

class CScaleDlg : public CLiveApplyDlg {
    Q_OBJECT

public:
    CScaleDlg(const CUiServices& ui, CTavixCaptureDoc& doc, QWidget* pParent = nullptr);

    CValueRow* ScaleRow() const noexcept { return m_pScale; }

protected:
    QSize TargetSize() const override;
    void ShowRevertedSize() override;

private:
    CValueRow* m_pScale;
};
