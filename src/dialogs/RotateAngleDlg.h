// SPDX-License-Identifier: MIT
// CRotateAngleDlg: "Rotate Any Angle Operation": an angle in degrees and the colour that fills
// the corners the rotation uncovers.
#pragma once

#include "dialogs/PreviewDlg.h"
#include "document/DocumentHost.h"

#include <cstdint>

class QToolButton;
class QPushButton;

class CRotateAngleDlg : public CPreviewDlg {
    Q_OBJECT

public:
    // crDefault: the "ColorTransparency" setting (0x00BBGGRR), where every colour choice starts.
    CRotateAngleDlg(const CUiServices& ui, const CImageBitmap* pImage, std::uint32_t crDefault,
                    QWidget* pParent = nullptr);

    RotateDialogResult Result() const;
    CValueRow* AngleRow() const noexcept { return m_pAngle; }
    QPushButton* ColorButton() const noexcept { return m_pColorButton; }
    QToolButton* Swatch() const noexcept { return m_pSwatch; }

    // Takes a colour as the colour dialog's OK does. The preview shows it at once; the dialog
    // does not count as changed by it (at an unchanged angle nothing is uncovered).
    void SetBackground(std::uint32_t crColour);

protected:
    std::unique_ptr<CImageFilter> MakeFilter() const override;

private:
    void OnChooseColor();

    CValueRow* m_pAngle;
    std::uint32_t m_crDefault;
    std::uint32_t m_crBackground;
    QPushButton* m_pColorButton;
    QToolButton* m_pSwatch;
};
