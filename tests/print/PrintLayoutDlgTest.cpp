// SPDX-License-Identifier: MIT
// The print layout dialog driven as a user would: the values it opens with, units, typing,
// the spin arrows with their proportion and margin rules, and a preview that shows what prints.
#include "dialogs/PrintLayoutDlg.h"
#include "dialogs/LayoutPage.h"
#include "dialogs/LayoutPreview.h"
#include "dialogs/SpinButtons.h"
#include "framework/UiServices.h"
#include "image/MemoryBitmap.h"
#include "platform/AppSettings.h"
#include "support/ScriptedMessageBoxes.h"
#include "support/TestSupport.h"
#include "views/ImagePrinter.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QProcess>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <QToolButton>

#include <gtest/gtest.h>

#include <memory>

namespace {

using Field = CLayoutPage::EField;

// A w x h image whose left half is red and right half blue.
std::unique_ptr<CMemoryBitmap> TwoColourImage(int w, int h) {
    auto p = std::make_unique<CMemoryBitmap>();
    p->Create(w, h, 32);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            p->Row<RGBQuad>(y)[x] = x < w / 2 ? RGBQuad{0, 0, 255, 0} : RGBQuad{255, 0, 0, 0};
    return p;
}

class PrintLayoutDlgTest : public ::testing::Test {
protected:
    void SetUp() override { m_ui.SetMessageBoxes(&m_boxes); }

    // The dialog over the record, shown.
    std::unique_ptr<CPrintLayoutDlg> Open(const PrintLayoutSettings& record,
                                          const CImageBitmap* pImage,
                                          std::optional<QSize> page = std::nullopt) {
        auto p = std::make_unique<CPrintLayoutDlg>(m_ui, record, page, pImage);
        p->show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(p.get()));
        return p;
    }

    static QString Text(const CPrintLayoutDlg& dialog, Field field) {
        return dialog.Page()->Edit(field)->text();
    }

    static void Type(CPrintLayoutDlg& dialog, Field field, const QString& strText) {
        QLineEdit* pEdit = dialog.Page()->Edit(field);
        pEdit->setFocus();
        pEdit->selectAll();
        QTest::keyClicks(pEdit, strText);
    }

    static void Spin(CPrintLayoutDlg& dialog, Field field, int nClicks) {
        CSpinButtons* pSpin = dialog.Page()->Spin(field);
        QToolButton* pButton = nClicks > 0 ? pSpin->UpButton() : pSpin->DownButton();
        for (int i = 0; i < std::abs(nClicks); ++i)
            QTest::mouseClick(pButton, Qt::LeftButton);
    }

    static QPushButton* Button(QWidget& dialog, const QString& strText) {
        for (QPushButton* p : dialog.findChildren<QPushButton*>())
            if (p->text() == strText)
                return p;
        return nullptr;
    }

    testsupport::CScriptedMessageBoxes m_boxes;
    CUiServices m_ui;
};

} // namespace

TEST_F(PrintLayoutDlgTest, OpensInCentimetresWithThePrintSizeOfTheImage) {
    const auto pImage = TwoColourImage(400, 300);
    PrintLayoutSettings record; // fit to margins, centred, print size never set
    const auto pDialog = Open(record, pImage.get());
    EXPECT_EQ(pDialog->windowTitle(), QStringLiteral("Print Layout"));
    // No print setup: an A4 page; the print size is the page width at the image's proportion.
    EXPECT_EQ(pDialog->Record().nPageWidth, 2100);
    EXPECT_EQ(pDialog->Record().nPrintWidth, 2100);
    EXPECT_EQ(pDialog->Record().nPrintHeight, 1575);
    EXPECT_TRUE(pDialog->Page()->CentimetersButton()->isChecked());
    EXPECT_EQ(Text(*pDialog, Field::FieldX), QStringLiteral("21"));
    EXPECT_EQ(Text(*pDialog, Field::FieldY), QStringLiteral("15.75"));
    EXPECT_EQ(Text(*pDialog, Field::FieldLeft), QStringLiteral("1.2"));
    for (int i = 0; i < CLayoutPage::FieldCount; ++i)
        EXPECT_EQ(pDialog->Page()->UnitLabel(Field(i))->text(), QStringLiteral("Cm"));
    EXPECT_EQ(pDialog->Page()->Method()->currentText(), QStringLiteral("Fit to Margins"));
    EXPECT_FALSE(pDialog->Page()->Edit(Field::FieldX)->isEnabled());
    EXPECT_FALSE(pDialog->Page()->Spin(Field::FieldY)->isEnabled());
    EXPECT_TRUE(pDialog->Page()->CenterHorizontally()->isChecked());
    EXPECT_TRUE(pDialog->Page()->CenterVertically()->isChecked());
    // The print setup's paper in landscape.
    const auto pLandscape = Open(record, nullptr, QSize(2970, 2100));
    EXPECT_EQ(pLandscape->Record().nPageWidth, 2970);
    EXPECT_EQ(Text(*pLandscape, Field::FieldY), QStringLiteral("21"));
}

TEST_F(PrintLayoutDlgTest, InchesShowHundredthsAndTypedInchesStoreTenthsOfMillimetres) {
    const auto pDialog = Open(PrintLayoutSettings{}, nullptr);
    QTest::mouseClick(pDialog->Page()->InchesButton(), Qt::LeftButton);
    ASSERT_TRUE(pDialog->Page()->InchesButton()->isChecked());
    EXPECT_EQ(pDialog->Page()->UnitLabel(Field::FieldBottom)->text(), QStringLiteral("In"));
    EXPECT_EQ(Text(*pDialog, Field::FieldLeft), QStringLiteral("0.47"));
    EXPECT_EQ(Text(*pDialog, Field::FieldX), QStringLiteral("8.26")); // 21 cm
    Type(*pDialog, Field::FieldLeft, QStringLiteral("1"));
    EXPECT_EQ(pDialog->Record().nMarginLeft, 254);
    // Only the typed field changed: the others keep their exact lengths.
    EXPECT_EQ(pDialog->Record().nMarginRight, 120);
    QTest::mouseClick(pDialog->Page()->CentimetersButton(), Qt::LeftButton);
    EXPECT_EQ(Text(*pDialog, Field::FieldLeft), QStringLiteral("2.54"));
    Type(*pDialog, Field::FieldTop, QStringLiteral("0.29"));
    EXPECT_EQ(pDialog->Record().nMarginTop, 29);
}

TEST_F(PrintLayoutDlgTest, TextThatIsNoNumberKeepsTheRecordAndOkSaysSo) {
    const auto pDialog = Open(PrintLayoutSettings{}, nullptr);
    Type(*pDialog, Field::FieldRight, QStringLiteral("x1"));
    EXPECT_EQ(pDialog->Record().nMarginRight, 120);
    EXPECT_TRUE(m_boxes.m_shown.empty()) << "no box while typing";
    Button(*pDialog, QStringLiteral("&OK"))->click();
    ASSERT_EQ(m_boxes.m_shown.size(), 1u);
    EXPECT_EQ(m_boxes.m_shown[0].strText, QStringLiteral("Please enter a number."));
    EXPECT_TRUE(pDialog->isVisible());
    EXPECT_TRUE(pDialog->Page()->Edit(Field::FieldRight)->hasFocus());
    // A negative length is refused too.
    Type(*pDialog, Field::FieldRight, QStringLiteral("-2"));
    Button(*pDialog, QStringLiteral("&OK"))->click();
    ASSERT_EQ(m_boxes.m_shown.size(), 2u);
    EXPECT_EQ(m_boxes.m_shown[1].strText,
              QStringLiteral("Please enter a number between 0 and 100000."));
    Type(*pDialog, Field::FieldRight, QStringLiteral("1.5"));
    Button(*pDialog, QStringLiteral("&OK"))->click();
    EXPECT_EQ(pDialog->result(), QDialog::Accepted);
    EXPECT_EQ(pDialog->Record().nMarginRight, 150);
}

TEST_F(PrintLayoutDlgTest, SizeArrowsKeepTheImageProportionAndStopAtZero) {
    const auto pImage = TwoColourImage(400, 300);
    PrintLayoutSettings record;
    record.dwPrintMode = 3;
    record.nPrintWidth = 1000;
    record.nPrintHeight = 750;
    const auto pDialog = Open(record, pImage.get());
    EXPECT_EQ(pDialog->Page()->Method()->currentText(), QStringLiteral("Height and Width"));
    ASSERT_TRUE(pDialog->Page()->Spin(Field::FieldX)->isEnabled());
    // X by 0.1, Y by round(10 x 300 / 400) / 100 = 0.08.
    Spin(*pDialog, Field::FieldX, 3);
    EXPECT_EQ(Text(*pDialog, Field::FieldX), QStringLiteral("10.3"));
    EXPECT_EQ(Text(*pDialog, Field::FieldY), QStringLiteral("7.74"));
    EXPECT_EQ(pDialog->Record().nPrintWidth, 1030);
    EXPECT_EQ(pDialog->Record().nPrintHeight, 774);
    // Y by 0.1, X by round(10 x 400 / 300) / 100 = 0.13.
    Spin(*pDialog, Field::FieldY, -1);
    EXPECT_EQ(Text(*pDialog, Field::FieldX), QStringLiteral("10.17"));
    EXPECT_EQ(Text(*pDialog, Field::FieldY), QStringLiteral("7.64"));
    // The Up key in the field steps as the arrow does.
    pDialog->Page()->Edit(Field::FieldX)->setFocus();
    QTest::keyClick(pDialog->Page()->Edit(Field::FieldX), Qt::Key_Up);
    EXPECT_EQ(Text(*pDialog, Field::FieldX), QStringLiteral("10.27"));
    // Down to nothing and no further.
    Type(*pDialog, Field::FieldX, QStringLiteral("0.15"));
    Spin(*pDialog, Field::FieldX, -5);
    EXPECT_EQ(Text(*pDialog, Field::FieldX), QStringLiteral("0"));
    EXPECT_EQ(pDialog->Record().nPrintWidth, 0);
    EXPECT_GE(pDialog->Record().nPrintHeight, 0);
    // Fit to Margins takes the size fields away and records mode 1.
    pDialog->Page()->Method()->setCurrentIndex(CLayoutPage::MethodFitToMargins);
    EXPECT_EQ(pDialog->Record().dwPrintMode, 1u);
    EXPECT_FALSE(pDialog->Page()->Edit(Field::FieldX)->isEnabled());
}

TEST_F(PrintLayoutDlgTest, TypedPrintSizeKeepsTheImageProportionAsTheArrowsDo) {
    const auto pImage = TwoColourImage(400, 300);
    PrintLayoutSettings record;
    record.dwPrintMode = 3;
    const auto pDialog = Open(record, pImage.get());
    Type(*pDialog, Field::FieldX, QStringLiteral("12"));
    EXPECT_EQ(Text(*pDialog, Field::FieldY), QStringLiteral("9"));
    EXPECT_EQ(pDialog->Record().nPrintHeight, 900);
    // In whole hundredths of the unit shown: 2.5 x 400 / 300 is 3.33.
    Type(*pDialog, Field::FieldY, QStringLiteral("2.5"));
    EXPECT_EQ(Text(*pDialog, Field::FieldX), QStringLiteral("3.33"));
    EXPECT_EQ(pDialog->Record().nPrintWidth, 333);
}

TEST_F(PrintLayoutDlgTest, MarginArrowsStopWhereThePairFillsThePage) {
    const auto pDialog = Open(PrintLayoutSettings{}, nullptr);
    // 21 cm wide with a right margin of 1.2 cm: the left margin stops at 19.8 cm.
    Spin(*pDialog, Field::FieldLeft, 200);
    EXPECT_EQ(Text(*pDialog, Field::FieldLeft), QStringLiteral("19.8"));
    EXPECT_EQ(pDialog->Record().nMarginLeft, 1980);
    Spin(*pDialog, Field::FieldLeft, -2);
    EXPECT_EQ(Text(*pDialog, Field::FieldLeft), QStringLiteral("19.6"));
    // A right margin typed too wide is cut back by its next step.
    Type(*pDialog, Field::FieldRight, QStringLiteral("5"));
    Spin(*pDialog, Field::FieldRight, -1);
    EXPECT_EQ(Text(*pDialog, Field::FieldRight), QStringLiteral("1.4"));
    // Down stops at zero.
    Spin(*pDialog, Field::FieldTop, -20);
    EXPECT_EQ(Text(*pDialog, Field::FieldTop), QStringLiteral("0"));
    EXPECT_EQ(pDialog->Record().nMarginTop, 0);
    // The centring boxes write their bits.
    QTest::mouseClick(pDialog->Page()->CenterVertically(), Qt::LeftButton);
    EXPECT_EQ(pDialog->Record().dwCenterFlags, 1u);
}
