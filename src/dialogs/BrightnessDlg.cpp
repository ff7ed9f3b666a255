// SPDX-License-Identifier: MIT
// The brightness dialog.
#include "dialogs/BrightnessDlg.h"

#include "image/BrightnessFilter.h"

CBrightnessDlg::CBrightnessDlg(const CUiServices& ui, const CImageBitmap* pImage, QWidget* pParent)
    : CPreviewDlg(ui, pImage, pParent), m_pBrightness(AddRow({"Brightness:", -100, 100, 0, 3})) {
    setWindowTitle(QStringLiteral("Change Brightness Effect"));
}

std::unique_ptr<CImageFilter> CBrightnessDlg::MakeFilter() const {
    // The document applies value x 0.36 truncated toward zero; the preview shows the same.
    return std::make_unique<CBrightnessFilter>(static_cast<int>(Brightness() * 0.36));
}
