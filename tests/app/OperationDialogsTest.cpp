// SPDX-License-Identifier: MIT
// The operation dialogs driven as a user drives them: typing, sliding, clicking; the results
// checked on the document's image and its undo history.
#include "AppFixture.h"
#include "DialogScript.h"

#include "dialogs/BrightnessDlg.h"
#include "dialogs/ContrastDlg.h"
#include "dialogs/ImageDialogs.h"
#include "dialogs/ImagePreview.h"
#include "dialogs/IntensityDlg.h"
#include "dialogs/LiveApplyDlg.h"
#include "dialogs/ResizeDlg.h"
#include "dialogs/RotateAngleDlg.h"
#include "dialogs/ScaleDlg.h"
#include "dialogs/StretchDlg.h"
#include "dialogs/ValueSpinBox.h"
#include "document/TavixCaptureDoc.h"
#include "framework/CommandIds.h"
#include "framework/ui/CommandDispatcher.h"
#include "image/BrightnessFilter.h"
#include "image/ContrastFilter.h"
#include "image/MemoryBitmap.h"
#include "image/ResampleFilter.h"
#include "platform/ProgramPaths.h"
#include "views/TavixCaptureView.h"

#include <QCheckBox>
#include <QColorDialog>
#include <QDialogButtonBox>
#include <QMdiSubWindow>
#include <QMenuBar>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QSlider>
#include <QTest>

using namespace apptest;

namespace {

QImage Pattern(int nWidth, int nHeight) {
    QImage image(nWidth, nHeight, QImage::Format_RGB32);
    for (int y = 0; y < nHeight; ++y)
        for (int x = 0; x < nWidth; ++x)
            image.setPixel(x, y, qRgb((x * 29 + y) & 0xFF, (y * 41) & 0xFF, (x * y) & 0xFF));
    return image;
}

// The colour channels of every pixel (the fourth byte aside), or the first difference.
std::string Differences(const CImageBitmap& a, const CImageBitmap& b) {
    if (a.Width() != b.Width() || a.Height() != b.Height())
        return "size " + std::to_string(a.Width()) + "x" + std::to_string(a.Height()) + " vs " +
               std::to_string(b.Width()) + "x" + std::to_string(b.Height());
    for (int y = 0; y < a.Height(); ++y)
        for (int x = 0; x < a.Width(); ++x)
            for (int c = 0; c < 3; ++c)
                if (a.Line(y)[x * 4 + c] != b.Line(y)[x * 4 + c])
                    return "pixel " + std::to_string(x) + "," + std::to_string(y);
    return {};
}

std::unique_ptr<CImageBitmap> Filtered(const CImageBitmap& image, CImageFilter&& filter) {
    auto pResult = std::make_unique<CMemoryBitmap>();
    filter.Apply(image, *pResult);
    return pResult;
}

std::unique_ptr<CImageBitmap> Copy(const CImageBitmap& image) {
    auto pCopy = std::make_unique<CMemoryBitmap>();
    pCopy->CreateCopy(image);
    return pCopy;
}

// Replaces the edit's text as typed keys.
void Type(CValueRow* pRow, const QString& strText) {
    pRow->Edit()->selectAll();
    QTest::keyClicks(pRow->Edit(), strText);
}

void ClickOk(QDialog& dialog) {
    dialog.findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Ok)->click();
}

QRect GlobalRect(const QWidget& widget) {
    return {widget.mapToGlobal(QPoint(0, 0)), widget.size()};
}

class OperationDialogsTest : public AppTest {
protected:
    CTavixCaptureDoc* Document(int nWidth, int nHeight) {
        Start(0x0008167B & ~0x2u);
        CTavixCaptureDoc* pDoc = NewDocument(Pattern(nWidth, nHeight));
        EXPECT_NE(pDoc, nullptr);
        m_pBefore = Copy(*pDoc->GetImage());
        m_nStepsBefore = pDoc->Counters().nUndoCount;
        return pDoc;
    }
    int AddedSteps(const CTavixCaptureDoc& doc) const {
        return doc.Counters().nUndoCount - m_nStepsBefore;
    }

    std::unique_ptr<CImageBitmap> m_pBefore;
    int m_nStepsBefore = 0;
};

TEST_F(OperationDialogsTest, BrightnessSliderAtMinimumShowsMinus100AndOkAppliesThePreview) {
    CTavixCaptureDoc* pDoc = Document(40, 30);
    std::unique_ptr<CImageBitmap> pPreviewed;
    WhenModal<CBrightnessDlg>([&](CBrightnessDlg& dialog) {
        QTest::keyClick(dialog.BrightnessRow()->Slider(), Qt::Key_Home);
        EXPECT_EQ(dialog.BrightnessRow()->Edit()->text(), QStringLiteral("-100"));
        // Only three characters can be typed: "-100" typed stops at "-10".
        Type(dialog.BrightnessRow(), QStringLiteral("-100"));
        EXPECT_EQ(dialog.BrightnessRow()->Edit()->text(), QStringLiteral("-10"));
        EXPECT_EQ(dialog.BrightnessRow()->Slider()->value(), -10);
        pPreviewed = Copy(*dialog.Preview()->ShownImage());
        ClickOk(dialog);
    });
    EXPECT_TRUE(Run(ID_IMAGE_BRIGHTNESS));
    ASSERT_TRUE(pPreviewed);
    // -10 x 0.36 is -3.6, applied as -3, in the preview and in the image alike.
    const auto pExpected = Filtered(*m_pBefore, CBrightnessFilter(-3));
    EXPECT_EQ(Differences(*pPreviewed, *pExpected), "");
    EXPECT_EQ(Differences(*pDoc->GetImage(), *pExpected), "");
    EXPECT_EQ(AddedSteps(*pDoc), 1);
}

TEST_F(OperationDialogsTest, PreviewStartsFromTheDocumentsImageEachTime) {
    CTavixCaptureDoc* pDoc = Document(33, 21);
    WhenModal<CContrastDlg>([&](CContrastDlg& dialog) {
        Type(dialog.ContrastRow(), QStringLiteral("50"));
        Type(dialog.ContrastRow(), QStringLiteral("20"));
        QTest::keyClick(dialog.OffsetRow()->Slider(), Qt::Key_PageDown);
        const int nOffset = dialog.OffsetRow()->Value();
        EXPECT_NE(nOffset, 125);
        const auto pExpected =
            Filtered(*m_pBefore, CContrastFilter(2.0, static_cast<std::uint8_t>(nOffset)));
        EXPECT_EQ(Differences(*dialog.Preview()->ShownImage(), *pExpected), "");
        dialog.reject();
    });
    EXPECT_TRUE(Run(ID_IMAGE_CONTRAST));
    EXPECT_EQ(Differences(*pDoc->GetImage(), *m_pBefore), "");
    EXPECT_EQ(AddedSteps(*pDoc), 0);
}

TEST_F(OperationDialogsTest, OkWithoutAChangeAddsNoUndoStep) {
    CTavixCaptureDoc* pDoc = Document(20, 10);
    int nShown = 0;
    const auto okUnchanged = [&](CPreviewDlg& dialog) {
        ++nShown;
        ClickOk(dialog);
    };
    WhenModal<CBrightnessDlg>(okUnchanged);
    Run(ID_IMAGE_BRIGHTNESS);
    WhenModal<CContrastDlg>(okUnchanged);
    Run(ID_IMAGE_CONTRAST);
    WhenModal<CIntensityDlg>(okUnchanged);
    Run(ID_IMAGE_INTENSITY);
    WhenModal<CRotateAngleDlg>([&](CRotateAngleDlg& dialog) {
        // Moved and moved back is no change either.
        Type(dialog.AngleRow(), QStringLiteral("30"));
        Type(dialog.AngleRow(), QStringLiteral("0"));
        okUnchanged(dialog);
    });
    Run(ID_IMAGE_ROTATE_ANY);
    EXPECT_EQ(nShown, 4);
    EXPECT_EQ(AddedSteps(*pDoc), 0);
    EXPECT_EQ(Differences(*pDoc->GetImage(), *m_pBefore), "");
}

TEST_F(OperationDialogsTest, RotateFillsTheCornersWithTheChosenColour) {
    CTavixCaptureDoc* pDoc = Document(40, 40);
    WhenModal<CRotateAngleDlg>([&](CRotateAngleDlg& dialog) {
        Type(dialog.AngleRow(), QStringLiteral("45"));
        WhenModal<QColorDialog>([](QColorDialog& colours) {
            colours.setCurrentColor(QColor(255, 0, 0));
            colours.accept();
        });
        dialog.ColorButton()->click();
        EXPECT_EQ(dialog.Result().crBackground, 0x000000FFu);
        const CImageBitmap& shown = *dialog.Preview()->ShownImage();
        EXPECT_EQ(shown.Line(0)[2], 255); // the preview's corner is red already
        ClickOk(dialog);
    });
    Run(ID_IMAGE_ROTATE_ANY);
    const CImageBitmap& image = *pDoc->GetImage();
    EXPECT_GT(image.Width(), 40);
    const std::uint8_t* pCorner = image.Line(0);
    EXPECT_EQ(pCorner[0], 0);
    EXPECT_EQ(pCorner[1], 0);
    EXPECT_EQ(pCorner[2], 255);
    EXPECT_EQ(AddedSteps(*pDoc), 1);
}

TEST_F(OperationDialogsTest, ScaleHalfOf101x51Gives50x25AsOneUndoStep) {
    CTavixCaptureDoc* pDoc = Document(101, 51);
    WhenModal<CScaleDlg>([&](CScaleDlg& dialog) {
        EXPECT_FALSE(dialog.ApplyButton()->isEnabled());
        Type(dialog.ScaleRow(), QStringLiteral("50"));
        EXPECT_TRUE(dialog.ApplyButton()->isEnabled());
        dialog.ApplyButton()->click();
        // Live: the document shows the change while the dialog is open.
        EXPECT_EQ(pDoc->GetImage()->Width(), 50);
        EXPECT_TRUE(dialog.RevertButton()->isEnabled());
        dialog.DoneButton()->click();
    });
    Run(ID_IMAGE_SCALE);
    EXPECT_EQ(pDoc->GetImage()->Width(), 50);
    EXPECT_EQ(pDoc->GetImage()->Height(), 25);
    EXPECT_EQ(AddedSteps(*pDoc), 1);
    Run(ID_EDIT_UNDO);
    EXPECT_EQ(Differences(*pDoc->GetImage(), *m_pBefore), "");
}

TEST_F(OperationDialogsTest, ApplyRevertDoneAddsNoUndoStep) {
    CTavixCaptureDoc* pDoc = Document(64, 48);
    WhenModal<CResizeDlg>([&](CResizeDlg& dialog) {
        EXPECT_EQ(dialog.WidthRow()->Value(), 64);
        Type(dialog.WidthRow(), QStringLiteral("30"));
        dialog.ApplyButton()->click();
        EXPECT_EQ(pDoc->GetImage()->Width(), 30);
        dialog.RevertButton()->click();
        EXPECT_EQ(dialog.WidthRow()->Value(), 64);
        EXPECT_FALSE(dialog.ApplyButton()->isEnabled());
        EXPECT_FALSE(dialog.RevertButton()->isEnabled());
        dialog.DoneButton()->click();
    });
    Run(ID_IMAGE_RESIZE);
    EXPECT_EQ(Differences(*pDoc->GetImage(), *m_pBefore), "");
    EXPECT_EQ(AddedSteps(*pDoc), 0);
    EXPECT_EQ(pDoc->PendingCommand(), nullptr);
}

TEST_F(OperationDialogsTest, ASecondApplyStartsAgainFromTheImageTheDialogOpenedWith) {
    CTavixCaptureDoc* pDoc = Document(40, 20);
    WhenModal<CStretchDlg>([&](CStretchDlg& dialog) {
        Type(dialog.HorizontalRow(), QStringLiteral("50"));
        dialog.ApplyButton()->click();
        Type(dialog.HorizontalRow(), QStringLiteral("200"));
        Type(dialog.VerticalRow(), QStringLiteral("150"));
        dialog.ApplyButton()->click();
        dialog.DoneButton()->click();
    });
    Run(ID_IMAGE_STRETCH);
    EXPECT_EQ(pDoc->GetImage()->Width(), 80);
    EXPECT_EQ(pDoc->GetImage()->Height(), 30);
    // One step, and it leads back to the image before the dialog.
    EXPECT_EQ(AddedSteps(*pDoc), 1);
    Run(ID_EDIT_UNDO);
    EXPECT_EQ(Differences(*pDoc->GetImage(), *m_pBefore), "");
}

TEST_F(OperationDialogsTest, EscapeRevertsAnAppliedChange) {
    CTavixCaptureDoc* pDoc = Document(40, 20);
    WhenModal<CStretchDlg>([&](CStretchDlg& dialog) {
        Type(dialog.VerticalRow(), QStringLiteral("300"));
        dialog.ApplyButton()->click();
        EXPECT_EQ(pDoc->GetImage()->Height(), 60);
        QTest::keyClick(&dialog, Qt::Key_Escape);
    });
    Run(ID_IMAGE_STRETCH);
    EXPECT_EQ(Differences(*pDoc->GetImage(), *m_pBefore), "");
    EXPECT_EQ(AddedSteps(*pDoc), 0);
    EXPECT_FALSE(IsEnabled(ID_EDIT_UNDO));
}

TEST_F(OperationDialogsTest, ScaleTakesAnotherMethodAfterAnApply) {
    CTavixCaptureDoc* pDoc = Document(60, 30);
    WhenModal<CScaleDlg>([&](CScaleDlg& dialog) {
        // Collapsed at first: the methods are in the advanced part.
        EXPECT_FALSE(dialog.IsExpanded());
        EXPECT_FALSE(dialog.MethodRadio(2)->isVisible());
        EXPECT_EQ(dialog.ToggleButton()->text(), QStringLiteral("A&dvanced >>"));
        const int nCollapsedHeight = dialog.height();
        dialog.ToggleButton()->click();
        EXPECT_EQ(dialog.ToggleButton()->text(), QStringLiteral("A&dvanced <<"));
        EXPECT_TRUE(dialog.MethodRadio(2)->isVisible());
        EXPECT_GT(dialog.height(), nCollapsedHeight);
        Type(dialog.ScaleRow(), QStringLiteral("50"));
        dialog.ApplyButton()->click();
        EXPECT_FALSE(dialog.MethodRadio(2)->isEnabled());
        // A new scale brings the method and radius back.
        Type(dialog.ScaleRow(), QStringLiteral("40"));
        EXPECT_TRUE(dialog.MethodRadio(2)->isEnabled());
        EXPECT_TRUE(dialog.RadiusRow()->Edit()->isEnabled());
        dialog.MethodRadio(2)->click(); // "Box Scale..."
        Type(dialog.RadiusRow(), QStringLiteral("150"));
        dialog.ApplyButton()->click();
        dialog.DoneButton()->click();
    });
    Run(ID_IMAGE_SCALE);
    const auto pExpected =
        Filtered(*m_pBefore, CResampleFilter(24, 12, 1.5, img::ResampleKernel::Box));
    EXPECT_EQ(Differences(*pDoc->GetImage(), *pExpected), "");
    EXPECT_EQ(AddedSteps(*pDoc), 1);
}

TEST_F(OperationDialogsTest, ResizeOfAnImageWiderThanTheRowsStartsAt800) {
    Document(3000, 40);
    WhenModal<CResizeDlg>([&](CResizeDlg& dialog) {
        EXPECT_EQ(dialog.WidthRow()->Value(), 800);
        EXPECT_EQ(dialog.HeightRow()->Value(), 40);
        EXPECT_FALSE(dialog.ApplyButton()->isEnabled());
        dialog.reject();
    });
    Run(ID_IMAGE_RESIZE);
}

TEST_F(OperationDialogsTest, EachHelpButtonOpensItsTopic) {
    CTavixCaptureDoc* pDoc = Document(8, 8);
    std::vector<int> topics;
    CImageDialogs dialogs(m_pApp->Ui(), m_pApp->Settings(),
                          [&](int nTopic) { topics.push_back(nTopic); });
    const auto help = [](QDialog& dialog) {
        for (QPushButton* pButton : dialog.findChildren<QPushButton*>())
            if (pButton->text() == QStringLiteral("&Help"))
                pButton->click();
        dialog.reject();
    };
    WhenModal<CIntensityDlg>(help);
    dialogs.RunIntensity(*pDoc);
    WhenModal<CBrightnessDlg>(help);
    dialogs.RunBrightness(*pDoc);
    WhenModal<CStretchDlg>(help);
    pDoc->TakeOriginalSnapshot();
    dialogs.RunSizeDialog(ESizeDialog::Stretch, *pDoc);
    pDoc->DropOriginalSnapshot();
    EXPECT_EQ(topics,
              (std::vector<int>{platform::HelpIntensityDialog, platform::HelpBrightnessDialog,
                                platform::HelpResizeDialog}));
    EXPECT_EQ(platform::HelpTopicName(platform::HelpIntensityDialog), "dialog.htm#intensitydialog");
}

TEST_F(OperationDialogsTest, ResizeAndStretchKeepTheAspectRatioWhileTheBoxIsOn) {
    Document(64, 48);
    WhenModal<CResizeDlg>([&](CResizeDlg& dialog) {
        EXPECT_TRUE(dialog.KeepAspectCheck()->isChecked());
        Type(dialog.WidthRow(), QStringLiteral("32"));
        EXPECT_EQ(dialog.HeightRow()->Value(), 24);
        Type(dialog.HeightRow(), QStringLiteral("12"));
        EXPECT_EQ(dialog.WidthRow()->Value(), 16);
        dialog.KeepAspectCheck()->click(); // off: each side on its own
        Type(dialog.WidthRow(), QStringLiteral("40"));
        EXPECT_EQ(dialog.HeightRow()->Value(), 12);
        dialog.reject();
    });
    Run(ID_IMAGE_RESIZE);
    // Stretching is what Stretch is for: its box starts off.
    WhenModal<CStretchDlg>([&](CStretchDlg& dialog) {
        EXPECT_FALSE(dialog.KeepAspectCheck()->isChecked());
        dialog.KeepAspectCheck()->click();
        Type(dialog.HorizontalRow(), QStringLiteral("150"));
        EXPECT_EQ(dialog.VerticalRow()->Value(), 150);
        dialog.reject();
    });
    Run(ID_IMAGE_STRETCH);
}

TEST_F(OperationDialogsTest, SizeDialogsOpenBesideTheImageWindowOrAtLeastOffItsCentre) {
    Document(200, 150);
    auto* pWindow = dynamic_cast<QMdiSubWindow*>(ActiveView()->GetParentFrame());
    ASSERT_NE(pWindow, nullptr);
    // Centred in the workspace, where a dialog centred on the main window would hide it.
    pWindow->move((pWindow->parentWidget()->width() - pWindow->width()) / 2,
                  (pWindow->parentWidget()->height() - pWindow->height()) / 2);
    const QRect rcAvailable = Frame().screen()->availableGeometry();
    QRect rcDialog;
    const auto record = [&](CLiveApplyDlg& dialog) {
        rcDialog = dialog.frameGeometry();
        dialog.reject();
    };
    WhenModal<CLiveApplyDlg>(record);
    Run(ID_IMAGE_SCALE);
    EXPECT_FALSE(rcDialog.intersects(GlobalRect(*pWindow)));
    EXPECT_TRUE(rcAvailable.contains(rcDialog));
    // No room on any side: the dialog stays off the middle of the image.
    Frame().setGeometry(rcAvailable);
    pWindow->showMaximized();
    ProcessEvents();
    WhenModal<CLiveApplyDlg>(record);
    Run(ID_IMAGE_RESIZE);
    EXPECT_FALSE(rcDialog.contains(GlobalRect(*pWindow).center()));
}

TEST_F(OperationDialogsTest, IntensityIsInTheOperationsMenuBesideContrast) {
    Document(20, 10);
    QMenu* pOperations = nullptr;
    for (QAction* pMenu : Frame().menuBar()->actions())
        if (pMenu->text() == QStringLiteral("&Operations"))
            pOperations = pMenu->menu();
    ASSERT_NE(pOperations, nullptr);
    emit pOperations->aboutToShow();
    const QList<QAction*> actions = pOperations->actions();
    QList<unsigned> ids;
    for (QAction* pAction : actions)
        ids << CCommandDispatcher::ActionId(pAction);
    const auto nIntensity = ids.indexOf(ID_IMAGE_INTENSITY);
    ASSERT_EQ(nIntensity, ids.indexOf(ID_IMAGE_CONTRAST) + 1);
    QAction* pIntensity = actions[nIntensity];
    EXPECT_EQ(pIntensity->text(), QStringLiteral("I&ntensity..."));
    EXPECT_EQ(pIntensity->statusTip(), QStringLiteral("Adjust the intensity of the image"));
    EXPECT_TRUE(pIntensity->isEnabled());
    EXPECT_EQ(pIntensity->isEnabled(), actions[nIntensity - 1]->isEnabled());
    bool bShown = false;
    WhenModal<CIntensityDlg>([&](CIntensityDlg& dialog) {
        bShown = true;
        dialog.reject();
    });
    pIntensity->trigger();
    ProcessEvents();
    EXPECT_TRUE(bShown);
}

} // namespace
