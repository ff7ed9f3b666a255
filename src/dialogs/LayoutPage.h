// SPDX-License-Identifier: MIT
// CLayoutPage: the "Layout" page of the print layout dialog: sizing method, print size, centring
// and margins, shown in centimetres or inches. Every change goes into the record at once.
#pragma once

#include "image/LengthUnits.h"
#include "views/PrintLayout.h"

#include <QWidget>

#include <array>

class CDataExchange;
class CSpinButtons;
class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QRadioButton;

class CLayoutPage : public QWidget {
    Q_OBJECT

public:
    // The six length fields.
    enum EField { FieldX = 0, FieldY, FieldLeft, FieldTop, FieldRight, FieldBottom, FieldCount };
    enum EMethod { MethodFitToMargins = 0, MethodHeightAndWidth = 1 };

    // record is the dialog's copy; nImageWidth x nImageHeight is the proportion the print size
    // keeps when typed or stepped (0 x 0: no image).
    CLayoutPage(PrintLayoutSettings& record, int nImageWidth, int nImageHeight,
                QWidget* pParent = nullptr);

    // Shows the record in centimetres.
    void Initialize();
    // The fields checked as numbers of at least 0 (OK); the first that fails says so.
    void Exchange(CDataExchange& dx);

    img::LengthUnit Unit() const noexcept { return m_unit; }
    double Value(EField field) const { return m_values[field]; }

    // The controls, for tests and the layout.
    QLineEdit* Edit(EField field) const { return m_edits[field]; }
    CSpinButtons* Spin(EField field) const { return m_spins[field]; }
    QLabel* UnitLabel(EField field) const { return m_unitLabels[field]; }
    QComboBox* Method() const noexcept { return m_pMethod; }
    QRadioButton* InchesButton() const noexcept { return m_pInches; }
    QRadioButton* CentimetersButton() const noexcept { return m_pCentimeters; }
    QCheckBox* CenterHorizontally() const noexcept { return m_pCenterH; }
    QCheckBox* CenterVertically() const noexcept { return m_pCenterV; }

signals:
    // The record changed; the preview follows.
    void recordChanged();

private:
    QWidget* BuildSizeGroup();
    QWidget* BuildCenterGroup();
    QWidget* BuildMarginGroup();
    void AddLengthRow(class QGridLayout* pGrid, int nRow, EField field, const QString& strLabel);
    void Connect();

    void ShowRecord();
    void ShowValue(EField field);
    void SetUnit(img::LengthUnit unit);
    void EnableSize();
    std::int32_t& Stored(EField field);
    void Store(EField field);

    void OnTyped(EField field);
    void OnMethod(int nIndex);
    void OnCenter();
    void OnSizeSpin(EField field, int nDirection);
    // The other print side for one unit of this one in the image's proportion (0: no image).
    double OtherSidePerSide(EField field) const;
    // A typed print side sets the other in the image's proportion, in whole hundredths.
    void KeepProportion(EField field);
    void OnMarginSpin(EField field, int nDirection);
    // A margin pair within the page: the margin becomes the page less the other margin.
    void KeepMarginWithinPage(EField field);

    PrintLayoutSettings& m_record;
    int m_nImageWidth;
    int m_nImageHeight;
    img::LengthUnit m_unit = img::LengthUnit::Centimeters;
    std::array<double, FieldCount> m_values{};
    std::array<QLineEdit*, FieldCount> m_edits{};
    std::array<CSpinButtons*, FieldCount> m_spins{};
    std::array<QLabel*, FieldCount> m_unitLabels{};
    QComboBox* m_pMethod = nullptr;
    QRadioButton* m_pInches = nullptr;
    QRadioButton* m_pCentimeters = nullptr;
    QCheckBox* m_pCenterH = nullptr;
    QCheckBox* m_pCenterV = nullptr;
    bool m_bShowing = false;
};
