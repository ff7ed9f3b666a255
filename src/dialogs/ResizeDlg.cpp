// SPDX-License-Identifier: MIT
// The resize dialog.
#include "dialogs/ResizeDlg.h"

#include "dialogs/ProportionLink.h"
#include "document/TavixCaptureDoc.h"

namespace {

constexpr int kMaxSide = 2048;

const CLiveApplyDlg::Layout kLayout{"Resize Operation",
                                    "Resize Method:",
                                    {{{"Bilinear Resize...", img::ResampleKernel::Bilinear},
                                      {"Box Resize...", img::ResampleKernel::Box},
                                      {"Gaussian Resize...", img::ResampleKernel::Gaussian},
                                      {"Hamming Resize...", img::ResampleKernel::Hamming}}},
                                    {"Radius:", 1, 1000, 500, 0}};

// A side beyond the rows' range starts at a size the rows can show.
int StartSide(int nSide, int nFallback) {
    return nSide > kMaxSide ? nFallback : nSide;
}

} // namespace

CResizeDlg::CResizeDlg(const CUiServices& ui, CTavixCaptureDoc& doc, QWidget* pParent)
    : CLiveApplyDlg(ui, doc, ESizeDialog::Resize, kLayout, pParent) {
    const QSize base = BaseSize();
    m_pWidth = AddSizeRow({"Width(pixels):", 1, kMaxSide, StartSide(base.width(), 800), 4});
    m_pHeight = AddSizeRow({"Height(pixels):", 1, kMaxSide, StartSide(base.height(), 600), 4});
    const double dHeightPerWidth =
        base.width() > 0 && base.height() > 0 ? double(base.height()) / base.width() : 1;
    m_pProportion =
        new CProportionLink(*m_pWidth, *m_pHeight, dHeightPerWidth, *AddKeepAspectCheck(true));
}

QSize CResizeDlg::TargetSize() const {
    return {m_pWidth->Value(), m_pHeight->Value()};
}

void CResizeDlg::ShowRevertedSize() {
    if (const CImageBitmap* pImage = Doc().GetImage())
        m_pProportion->SetValues(pImage->Width(), pImage->Height());
}
