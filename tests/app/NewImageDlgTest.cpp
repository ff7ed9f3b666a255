// SPDX-License-Identifier: MIT
// "Create New Image": converting in place, the pixel size it hands back, and sizes it refuses.
#include "AppFixture.h"

#include "dialogs/NewImageDlg.h"
#include "document/TavixCaptureDoc.h"
#include "framework/CommandIds.h"
#include "framework/DocManager.h"
#include "image/DisplayBitmap.h"
#include "views/TavixCaptureView.h"

#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>

using namespace apptest;

namespace {

QPushButton* ButtonNamed(QDialog& dialog, const QString& strText) {
    for (QPushButton* pButton : dialog.findChildren<QPushButton*>()) {
        if (pButton->text() == strText)
            return pButton;
    }
    return nullptr;
}

} // namespace

TEST_F(AppTest, NewImageDialogConvertsInPlaceAndCreatesInPixels) {
    Start(0x0008167B & ~0x2u);
    CNewImageDlg dialog(m_pApp->Ui());
    dialog.show();
    EXPECT_EQ(dialog.WidthEdit()->text(), QStringLiteral("400"));
    EXPECT_EQ(dialog.HeightEdit()->text(), QStringLiteral("300"));
    EXPECT_EQ(dialog.HorzResEdit()->text(), QStringLiteral("72"));
    dialog.WidthEdit()->setText(QStringLiteral("10"));
    dialog.WidthUnits()->setCurrentIndex(CNewImageDlg::UnitCentimeters);
    // Switching the unit converts the value that is there (10 px -> cm) ...
    EXPECT_NEAR(dialog.WidthEdit()->text().toDouble(), 10 / 72.0 * 2.54, 1e-9);
    dialog.WidthEdit()->setText(QStringLiteral("10"));
    dialog.HeightUnits()->setCurrentIndex(CNewImageDlg::UnitInches);
    EXPECT_NEAR(dialog.HeightEdit()->text().toDouble(), 300 / 72.0, 1e-9);
    dialog.VertResUnits()->setCurrentIndex(CNewImageDlg::PerCentimeter);
    EXPECT_NEAR(dialog.VertResEdit()->text().toDouble(), 72 * 0.39370078740157477, 1e-9);
    // ... and Create converts both sizes to pixels: 10 cm at 72/in is 284 px.
    ButtonNamed(dialog, QStringLiteral("&Create"))->click();
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    EXPECT_EQ(dialog.WidthPixels(), 284);
    EXPECT_EQ(dialog.HeightPixels(), 300);
    EXPECT_EQ(dialog.WidthUnits()->currentIndex(), CNewImageDlg::UnitPixels);
    EXPECT_TRUE(m_boxes.m_shown.empty());
}

TEST_F(AppTest, NewImageDialogRefusesSizesABitmapCannotHave) {
    Start(0x0008167B & ~0x2u);
    const struct {
        const char* pszWidth;
        const char* pszHeight;
        const char* pszMessage;
    } cases[] = {
        {"0", "300", "Please enter a number between 1 and 32768."},
        {"400", "-5", "Please enter a number between 1 and 32768."},
        {"0.5", "300", "Please enter a number between 1 and 32768."},
        {"40000", "10", "Please enter a number between 1 and 32768."},
        {"30000", "30000",
         "An image of 30000 x 30000 pixels is too large: at most 1024 MiB of pixels can be "
         "created."},
        {"abc", "10", "Please enter a number."},
    };
    for (const auto& c : cases) {
        m_boxes.m_shown.clear();
        CNewImageDlg dialog(m_pApp->Ui());
        dialog.show();
        dialog.WidthEdit()->setText(QString::fromLatin1(c.pszWidth));
        dialog.HeightEdit()->setText(QString::fromLatin1(c.pszHeight));
        ButtonNamed(dialog, QStringLiteral("&Create"))->click();
        EXPECT_TRUE(dialog.isVisible()) << c.pszWidth << " x " << c.pszHeight;
        ASSERT_EQ(m_boxes.m_shown.size(), 1u) << c.pszWidth << " x " << c.pszHeight;
        EXPECT_EQ(m_boxes.m_shown[0].strText, QString::fromLatin1(c.pszMessage));
    }
    // A zero resolution cannot convert: said, and the unit stays.
    m_boxes.m_shown.clear();
    CNewImageDlg dialog(m_pApp->Ui());
    dialog.show();
    dialog.HorzResEdit()->setText(QStringLiteral("0"));
    dialog.WidthUnits()->setCurrentIndex(CNewImageDlg::UnitInches);
    ASSERT_EQ(m_boxes.m_shown.size(), 1u);
    EXPECT_EQ(m_boxes.m_shown[0].strText,
              QStringLiteral("Please enter a resolution greater than 0."));
    EXPECT_EQ(dialog.WidthUnits()->currentIndex(), CNewImageDlg::UnitPixels);
    EXPECT_EQ(dialog.WidthEdit()->text(), QStringLiteral("400"));
}

TEST_F(AppTest, FileNewOpensAWhiteImageOfTheDialogsSize) {
    Start(0x0008167B & ~0x2u);
    // The dialog is modal: answer it from the event loop.
    QTimer::singleShot(0, [] {
        auto* pDialog = qobject_cast<CNewImageDlg*>(QApplication::activeModalWidget());
        ASSERT_NE(pDialog, nullptr);
        pDialog->WidthEdit()->setText(QStringLiteral("33"));
        pDialog->HeightEdit()->setText(QStringLiteral("21"));
        ButtonNamed(*pDialog, QStringLiteral("&Create"))->click();
    });
    EXPECT_TRUE(Run(ID_FILE_NEW));
    ASSERT_NE(ActiveView(), nullptr);
    const CDisplayBitmap* pImage = ActiveView()->Image();
    ASSERT_NE(pImage, nullptr);
    EXPECT_EQ(pImage->Width(), 33);
    EXPECT_EQ(pImage->Height(), 21);
    EXPECT_EQ(pImage->Depth(), 32);
    EXPECT_EQ(pImage->Row<RGBQuad>(20)[32], (RGBQuad{255, 255, 255, 255}));
    EXPECT_TRUE(ActiveView()->GetDocument()->IsModified());
    EXPECT_EQ(ActiveView()->GetDocument()->GetTitle(), QStringLiteral("Quorv1 *"));
}
