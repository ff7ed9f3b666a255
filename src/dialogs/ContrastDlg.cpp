// SPDX-License-Identifier: MIT
// The contrast dialog.
#include "dialogs/ContrastDlg.h"

#include "image/ContrastFilter.h"

CContrastDlg::CContrastDlg(const CUiServices& ui, const CImageBitmap* pImage, QWidget* pParent)
    : CPreviewDlg(ui, pImage, pParent), m_pContrast(AddRow({"Contrast:", 1, 100, 10, 3})),
      m_pOffset(AddRow({"Intensity:", 0, 255, 125, 3})) {
    setWindowTitle(QStringLiteral("Adjust Contrast Effect"));
}

ContrastDialogResult CContrastDlg::Result() const {
    return {double(m_pContrast->Value()), static_cast<std::uint8_t>(m_pOffset->Value())};
}

std::unique_ptr<CImageFilter> CContrastDlg::MakeFilter() const {
    const ContrastDialogResult result = Result();
    return std::make_unique<CContrastFilter>(result.dContrast * 0.1, result.byOffset);
}
