// SPDX-License-Identifier: MIT
// The scale dialog.
#include "dialogs/ScaleDlg.h"

#include "document/TavixCaptureDoc.h"

namespace {

const CLiveApplyDlg::Layout kLayout{"Scale Image Operation",
                                    "Scale method",
                                    {{{"Bilinear Scale...", img::ResampleKernel::Bilinear},
                                      {"Gaussian Scale...", img::ResampleKernel::Gaussian},
                                      {"Box Scale...", img::ResampleKernel::Box},
                                      {"Hamming Scale...", img::ResampleKernel::Hamming}}},
                                    {"Radius:", 1, 1000, 100, 4}};

} // namespace

CScaleDlg::CScaleDlg(const CUiServices& ui, CTavixCaptureDoc& doc, QWidget* pParent)
    : CLiveApplyDlg(ui, doc, ESizeDialog::Scale, kLayout, pParent),
      m_pScale(AddSizeRow({"Scale:", 1, 400, 100, 3})) {}

QSize CScaleDlg::TargetSize() const {
    // Whole pixels, rounded down: 50 % of 101 x 51 is 50 x 25.
    const QSize base = BaseSize();
    return {base.width() * m_pScale->Value() / 100, base.height() * m_pScale->Value() / 100};
}

void CScaleDlg::ShowRevertedSize() {
    const CImageBitmap* pImage = Doc().GetImage();
    const QSize base = BaseSize();
    if (pImage != nullptr && base.width() > 0)
        m_pScale->SetValue(pImage->Width() * 100 / base.width());
}
