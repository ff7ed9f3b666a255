// SPDX-License-Identifier: MIT
// The intensity dialog.
#include "dialogs/IntensityDlg.h"

#include "image/IntensityFilter.h"

CIntensityDlg::CIntensityDlg(const CUiServices& ui, const CImageBitmap* pImage, QWidget* pParent)
    : CPreviewDlg(ui, pImage, pParent), m_pIntensity(AddRow({"Intensity:", 0, 255, 20, 3})),
      m_pOffset(AddRow({"Offset:", 0, 255, 128, 3})),
      m_pExponent(AddRow({"Exponent:", 1, 100, 10, 3})) {
    setWindowTitle(QStringLiteral("Intensity"));
}

IntensityDialogResult CIntensityDlg::Result() const {
    return {double(m_pIntensity->Value()), static_cast<std::uint8_t>(m_pOffset->Value()),
            m_pExponent->Value() * 0.1};
}

std::unique_ptr<CImageFilter> CIntensityDlg::MakeFilter() const {
    const IntensityDialogResult result = Result();
    return std::make_unique<CIntensityFilter>(result.dIntensity, result.byOffset, result.dExponent);
}
