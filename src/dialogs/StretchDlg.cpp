// SPDX-License-Identifier: MIT
// The stretch dialog.
#include "dialogs/StretchDlg.h"

#include "dialogs/ProportionLink.h"

namespace {

const CLiveApplyDlg::Layout kLayout{"Stretch Operation",
                                    "Stretch Method:",
                                    {{{"Bilinear Stretch...", img::ResampleKernel::Bilinear},
                                      {"Gaussian Stretch...", img::ResampleKernel::Gaussian},
                                      {"Box Stretch...", img::ResampleKernel::Box},
                                      {"Hamming Stretch...", img::ResampleKernel::Hamming}}},
                                    {"Radius:", 1, 1000, 500, 0}};

} // namespace

CStretchDlg::CStretchDlg(const CUiServices& ui, CTavixCaptureDoc& doc, QWidget* pParent)
    : CLiveApplyDlg(ui, doc, ESizeDialog::Stretch, kLayout, pParent),
      m_pHorizontal(AddSizeRow({"Horizontal:", 1, 400, 100, 3})),
      m_pVertical(AddSizeRow({"Vertical:", 1, 400, 100, 3})),
      m_pProportion(
          new CProportionLink(*m_pHorizontal, *m_pVertical, 1, *AddKeepAspectCheck(false))) {}

QSize CStretchDlg::TargetSize() const {
    const QSize base = BaseSize();
    return {base.width() * m_pHorizontal->Value() / 100,
            base.height() * m_pVertical->Value() / 100};
}

void CStretchDlg::ShowRevertedSize() {
    m_pProportion->SetValues(100, 100);
}
