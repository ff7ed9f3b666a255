// SPDX-License-Identifier: MIT
// CNewImageDlg: "Create New Image": width and height in pixels, inches or centimetres, with the
// horizontal and vertical resolutions that convert between them. On Create both sizes end in
// pixels, checked against what a bitmap can hold.
#pragma once

#include "framework/ui/Dialog.h"

class QComboBox;
class QLineEdit;
class QPushButton;

class CNewImageDlg : public CDialog {
    Q_OBJECT

public:
    // The unit lists' entries, in the order of img::LengthUnit and img::ResolutionUnit.
    enum ESizeUnit { UnitPixels = 0, UnitInches = 1, UnitCentimeters = 2 };
    enum EResolutionUnit { PerInch = 0, PerCentimeter = 1 };

    explicit CNewImageDlg(const CUiServices& ui, QWidget* pParent = nullptr);

    // After Create: the size in pixels (already whole numbers).
    double Width() const noexcept { return m_dWidth; }
    double Height() const noexcept { return m_dHeight; }
    int WidthPixels() const noexcept { return static_cast<int>(m_dWidth); }
    int HeightPixels() const noexcept { return static_cast<int>(m_dHeight); }

    // The controls, for tests and the layout.
    QLineEdit* WidthEdit() const noexcept { return m_pWidth; }
    QLineEdit* HeightEdit() const noexcept { return m_pHeight; }
    QLineEdit* HorzResEdit() const noexcept { return m_pHorzRes; }
    QLineEdit* VertResEdit() const noexcept { return m_pVertRes; }
    QComboBox* WidthUnits() const noexcept { return m_pWidthUnits; }
    QComboBox* HeightUnits() const noexcept { return m_pHeightUnits; }
    QComboBox* HorzResUnits() const noexcept { return m_pHorzResUnits; }
    QComboBox* VertResUnits() const noexcept { return m_pVertResUnits; }

signals:
    // The Help button: the caller shows the help index (the dialog has no topic of its own).
    void helpRequested();

protected:
    void DoDataExchange(CDataExchange& dx) override;
    void OnInitDialog() override;

private:
    struct SizeRow;
    void OnSizeUnitChanged(bool bWidth);
    void OnResolutionUnitChanged(bool bHorizontal);
    // Converts one size field to `to`; false (the user was told why) when its text or the
    // resolution is not a usable number.
    bool ConvertSizeField(bool bWidth, ESizeUnit to);
    void OnCreate();

    double m_dWidth = 400;
    double m_dHeight = 300;
    double m_dHorzRes = 72;
    double m_dVertRes = 72;
    // The unit each value is in now.
    ESizeUnit m_widthUnit = UnitPixels;
    ESizeUnit m_heightUnit = UnitPixels;
    EResolutionUnit m_horzResUnit = PerInch;
    EResolutionUnit m_vertResUnit = PerInch;
    bool m_bSyncingUnits = false;

    QLineEdit* m_pWidth;
    QLineEdit* m_pHeight;
    QLineEdit* m_pHorzRes;
    QLineEdit* m_pVertRes;
    QComboBox* m_pWidthUnits;
    QComboBox* m_pHeightUnits;
    QComboBox* m_pHorzResUnits;
    QComboBox* m_pVertResUnits;
};
