// SPDX-License-Identifier: MIT
// The "Capture Output", "Color Select" and "Image Save Options" pages as a user works them:
// the boxes that follow each other, the naming rules, the folder and colour choices, the resets
// that act at once, and the JPEG set automatic saves use.
#include "AppFixture.h"
#include "OptionsDriving.h"

#include "dialogs/options/ColorSelectPage.h"
#include "dialogs/options/ColorSwatch.h"
#include "dialogs/options/OptionsTreeDlg.h"
#include "framework/CommandIds.h"
#include "framework/ui/CommandDispatcher.h"
#include "platform/AppSettings.h"
#include "support/ModalDriver.h"
#include "support/QtWait.h"
#include "views/TavixCaptureView.h"

#include <QAbstractSpinBox>
#include <QCheckBox>
#include <QColorDialog>
#include <QComboBox>
#include <QFileDialog>
#include <QLineEdit>
#include <QPaintEvent>
#include <QPushButton>
#include <QTest>
#include <QTreeWidget>

#include <filesystem>
#include <fstream>
#include <tuple>

using namespace apptest;
using testsupport::ButtonWithText;
using testsupport::FieldLabelled;
using testsupport::WhenModalShows;
namespace opt = platform::options;

namespace {

// Runs Capture > Options on page nPage, steps, then OK (or Cancel).
void RunOnPage(CMainFrame& frame, int nPage, bool bOk,
               const std::function<void(COptionsTreeDlg&)>& steps) {
    WhenModalShows<COptionsTreeDlg>([&, nPage, bOk](COptionsTreeDlg& dlg) {
        ShowPage(dlg, nPage);
        steps(dlg);
        if (bOk)
            ButtonWithText<QPushButton>(dlg, QStringLiteral("OK"))->click();
        else
            dlg.reject();
    });
    frame.Dispatcher().Execute(ID_CAPTURE_OPTIONS);
}

QCheckBox* Box(const QWidget& root, const char* pszText) {
    return ButtonWithText<QCheckBox>(root, QString::fromLatin1(pszText));
}

// Counts the paints that cover the whole of a widget.
class CFullPaints : public QObject {
public:
    explicit CFullPaints(QWidget* pWidget) : m_pWidget(pWidget) {
        pWidget->installEventFilter(this);
    }
    bool eventFilter(QObject* pObject, QEvent* pEvent) override {
        if (pObject == m_pWidget && pEvent->type() == QEvent::Paint &&
            static_cast<QPaintEvent*>(pEvent)->rect().contains(m_pWidget->rect()))
            ++m_nCount;
        return false;
    }
    int m_nCount = 0;

private:
    QWidget* m_pWidget;
};

} // namespace

TEST_F(AppTest, OptionsOutputBoxesFollowEachOtherAndPrintingKeepsTheImageWindow) {
    Start(kShownOptions);
    platform::CAppSettings& settings = m_pApp->Settings();
    settings.m_dwOptionsA &= ~(opt::kSaveToFile | opt::kPrintCapture | opt::kOpenImageWindow);
    RunOnPage(Frame(), 2, true, [&](COptionsTreeDlg& dlg) {
        QCheckBox* pWindow = Box(dlg, "Create an image &window after capturing an image");
        QCheckBox* pSave = Box(dlg, "&Save the image to a file after capturing an image");
        QCheckBox* pAuto =
            Box(dlg, "&Automatically name and save the image using the following settings:");
        auto* pLead = FieldLabelled<QLineEdit>(dlg, QStringLiteral("File names begin with"));
        ASSERT_TRUE(pWindow && pSave && pAuto && pLead);
        EXPECT_FALSE(pAuto->isEnabled()) << "saving is off";
        EXPECT_FALSE(pLead->isEnabled());
        pSave->click();
        EXPECT_TRUE(pWindow->isChecked()) << "saving goes through an image window";
        EXPECT_TRUE(pAuto->isEnabled());
        EXPECT_EQ(pLead->isEnabled(), pAuto->isChecked());
        pAuto->click();
        EXPECT_EQ(pLead->isEnabled(), pAuto->isChecked());
        pSave->click();
        EXPECT_FALSE(pAuto->isEnabled());
        EXPECT_FALSE(pLead->isEnabled());
        pWindow->click();
        Box(dlg, "&Print the image on a printer after capturing an image")->click();
        EXPECT_TRUE(pWindow->isChecked());
        pWindow->click(); // the user takes the window away again
        EXPECT_FALSE(pWindow->isChecked());
    });
    EXPECT_NE(settings.m_dwOptionsA & opt::kPrintCapture, 0u);
    EXPECT_NE(settings.m_dwOptionsA & opt::kOpenImageWindow, 0u) << "printing needs the window";
    EXPECT_EQ(settings.m_dwOptionsA & opt::kSaveToFile, 0u);
}

TEST_F(AppTest, OptionsOutputStoresTheNamingRules) {
    Start(kShownOptions);
    platform::CAppSettings& settings = m_pApp->Settings();
    settings.m_dwOptionsA |= opt::kSaveToFile | opt::kAutoNameFile;
    const std::filesystem::path folder = Root() / "Shots";
    std::filesystem::create_directories(folder);
    RunOnPage(Frame(), 2, true, [&](COptionsTreeDlg& dlg) {
        auto* pType = FieldLabelled<QComboBox>(dlg, QStringLiteral("Save image as:"));
        ASSERT_NE(pType, nullptr);
        QStringList types;
        for (int i = 0; i < pType->count(); ++i)
            types << pType->itemText(i);
        EXPECT_EQ(types, QStringList({"JPEG", "Bitmap", "PNG", "GIF", "TIFF"}));
        EXPECT_EQ(pType->currentText(), QStringLiteral("JPEG"));
        pType->setCurrentIndex(pType->findText(QStringLiteral("PNG")));
        TypeInto(FieldLabelled<QLineEdit>(dlg, QStringLiteral("File names begin with")),
                 QStringLiteral("shot.new"));
        auto* pDigits = FieldLabelled<QAbstractSpinBox>(dlg, QStringLiteral("and end with a"));
        pDigits->stepBy(5);
        EXPECT_EQ(pDigits->text(), QStringLiteral("6")) << "the arrows stop at 6";
        // The folder comes from the folder browser.
        WhenModalShows<QFileDialog>([&](QFileDialog& browser) {
            EXPECT_EQ(browser.windowTitle(), QStringLiteral("Choose directory:"));
            browser.setDirectory(QString::fromStdString(folder.string()));
            browser.selectFile(QString::fromStdString(folder.string()));
            static_cast<QDialog&>(browser).accept();
        });
        ButtonWithText<QPushButton>(dlg, QStringLiteral("&Browse..."))->click();
        EXPECT_EQ(FieldLabelled<QLineEdit>(dlg, QStringLiteral("Save files in &directory:"))
                      ->text()
                      .toStdString(),
                  folder.string());
        Box(dlg, "Reset counter on startup")->click();
    });
    EXPECT_EQ(settings.m_strAutoSaveLeadFileName, "shot");
    EXPECT_EQ(settings.m_wAutoSaveDigitCount, 6);
    EXPECT_EQ(settings.m_dwAutoSaveImageType, 2u);
    EXPECT_EQ(settings.m_strAutoSavePath, folder.string());
    EXPECT_NE(settings.m_dwAutoSaveOptions & platform::autosave::kResetCounterAtStart, 0u);
    // A drive letter's colon ends the name too; a digit count of 7 is refused.
    RunOnPage(Frame(), 2, true, [&](COptionsTreeDlg& dlg) {
        TypeInto(FieldLabelled<QLineEdit>(dlg, QStringLiteral("File names begin with")),
                 QStringLiteral("a:b"));
        auto* pDigits = FieldLabelled<QAbstractSpinBox>(dlg, QStringLiteral("and end with a"));
        TypeInto(pDigits, QStringLiteral("7"));
        ButtonWithText<QPushButton>(dlg, QStringLiteral("OK"))->click();
        EXPECT_TRUE(dlg.isVisible());
        TypeInto(pDigits, QStringLiteral("3"));
    });
    ASSERT_EQ(m_boxes.m_shown.size(), 1u);
    EXPECT_EQ(m_boxes.m_shown[0].strText,
              QStringLiteral("Please enter an integer between 2 and 6."));
    EXPECT_EQ(settings.m_strAutoSaveLeadFileName, "a");
    EXPECT_EQ(settings.m_wAutoSaveDigitCount, 3);
}

TEST_F(AppTest, OptionsColourChoiceRepaintsTheImageWindowAfterOk) {
    Start(kShownOptions);
    ASSERT_NE(Open(WritePng(5, 4)), nullptr);
    CTavixCaptureView* pView = ActiveView();
    ASSERT_NE(pView, nullptr);
    CFullPaints paints(pView->viewport());
    RunOnPage(Frame(), 3, true, [&](COptionsTreeDlg& dlg) {
        WhenModalShows<QColorDialog>([](QColorDialog& colours) {
            colours.setCurrentColor(QColor(10, 20, 30));
            colours.accept();
        });
        ButtonWithText<QPushButton>(dlg, QStringLiteral("&Choose custom color"))->click();
        auto* pPage = dynamic_cast<CColorSelectPage*>(dlg.Page(3));
        EXPECT_EQ(pPage->Swatch(0)->Color(), QColor(10, 20, 30));
        // A click on the transparency swatch asks as its button does.
        WhenModalShows<QColorDialog>([](QColorDialog& colours) {
            EXPECT_EQ(colours.currentColor(), QColor(192, 192, 192));
            colours.setCurrentColor(QColor(1, 2, 3));
            colours.accept();
        });
        QTest::mouseClick(pPage->Swatch(2), Qt::LeftButton);
        EXPECT_EQ(pPage->Swatch(2)->grab().toImage().pixelColor(3, 3), QColor(1, 2, 3));
        paints.m_nCount = 0;
    });
    EXPECT_EQ(m_pApp->Settings().m_crViewBackground, 0x001E140Au);
    EXPECT_EQ(m_pApp->Settings().m_crTransparency, 0x00030201u);
    EXPECT_EQ(m_pApp->Settings().m_crImageBackground, 0x00C0C0C0u);
    EXPECT_TRUE(testsupport::WaitUntilPumping([&] { return paints.m_nCount > 0; }));
    const QRect rcImage = pView->ImageRectInView();
    const QImage shot = pView->viewport()->grab().toImage();
    EXPECT_EQ(shot.pixelColor(rcImage.right() + 5, rcImage.bottom() + 5), QColor(10, 20, 30));
}

TEST_F(AppTest, OptionsResetDefaultColourActsAtOnceAndOutlivesCancel) {
    Start(kShownOptions);
    platform::CAppSettings& settings = m_pApp->Settings();
    settings.m_crViewBackground = 0x00010203;
    settings.m_crImageBackground = 0x00040506;
    settings.m_crTransparency = 0x00070809;
    RunOnPage(Frame(), 3, false, [&](COptionsTreeDlg& dlg) {
        auto* pPage = dynamic_cast<CColorSelectPage*>(dlg.Page(3));
        EXPECT_EQ(pPage->Swatch(1)->Color(), QColor(6, 5, 4));
        ButtonWithText<QPushButton>(dlg, QStringLiteral("&Reset Default Color"))->click();
        EXPECT_EQ(pPage->Swatch(0)->Color(), QColor(102, 153, 204));
        EXPECT_EQ(settings.m_crViewBackground, 0x00CC9966u) << "not at once";
    });
    EXPECT_EQ(settings.m_crViewBackground, 0x00CC9966u);
    EXPECT_EQ(settings.m_crImageBackground, 0x00C0C0C0u);
    EXPECT_EQ(settings.m_crTransparency, 0x00C0C0C0u);
}

TEST_F(AppTest, OptionsJpegValuesGoToTheStoredSetAndLeaveSaveAsItsOwn) {
    Start(kShownOptions);
    platform::CAppSettings& settings = m_pApp->Settings();
    const platform::JpegOptions working = settings.WorkingJpegOptions();
    RunOnPage(Frame(), 4, true, [&](COptionsTreeDlg& dlg) {
        auto* pQuality =
            FieldLabelled<QAbstractSpinBox>(dlg, QStringLiteral("Compression quality:"));
        ASSERT_NE(pQuality, nullptr);
        EXPECT_EQ(pQuality->text(), QStringLiteral("95"));
        TypeInto(pQuality, QStringLiteral("101"));
        ButtonWithText<QPushButton>(dlg, QStringLiteral("OK"))->click();
        EXPECT_TRUE(dlg.isVisible());
        TypeInto(pQuality, QStringLiteral("80"));
        TypeInto(FieldLabelled<QAbstractSpinBox>(dlg, QStringLiteral("Smoothing factor:")),
                 QStringLiteral("12"));
        TypeInto(FieldLabelled<QAbstractSpinBox>(dlg, QStringLiteral("X:")), QStringLiteral("300"));
        TypeInto(FieldLabelled<QAbstractSpinBox>(dlg, QStringLiteral("Y:")), QStringLiteral("150"));
        Box(dlg, "Enable &optimal Huffman coding tables ")->click();
    });
    ASSERT_EQ(m_boxes.m_shown.size(), 1u);
    EXPECT_EQ(m_boxes.m_shown[0].strText,
              QStringLiteral("Please enter an integer between 0 and 100."));
    const platform::JpegOptions stored = settings.StoredJpegOptions();
    EXPECT_EQ(stored.wQuality, 80);
    EXPECT_EQ(stored.wSmoothingFactor, 12);
    EXPECT_EQ(stored.wOptimizeCoding, 1);
    EXPECT_EQ(stored.sizeDip, (platform::SizeValue{300, 150}));
    EXPECT_EQ(settings.WorkingJpegOptions(), working);
}

// The current folder moves with every file opened, and a relative output folder with it.
TEST_F(AppTest, OptionsOutputRefusesARelativeFolder) {
    Start(kShownOptions);
    platform::CAppSettings& settings = m_pApp->Settings();
    settings.m_dwOptionsA |= opt::kSaveToFile | opt::kAutoNameFile;
    const std::string absolute = (Root() / "Shots").string();
    std::filesystem::create_directories(absolute);
    RunOnPage(Frame(), 2, true, [&](COptionsTreeDlg& dlg) {
        auto* pPath = FieldLabelled<QLineEdit>(dlg, QStringLiteral("Save files in &directory:"));
        ASSERT_NE(pPath, nullptr);
        TypeInto(pPath, QStringLiteral("Shots"));
        ButtonWithText<QPushButton>(dlg, QStringLiteral("OK"))->click();
        EXPECT_TRUE(dlg.isVisible());
        TypeInto(pPath, QString::fromStdString(absolute));
    });
    ASSERT_EQ(m_boxes.m_shown.size(), 1u);
    EXPECT_EQ(m_boxes.m_shown[0].strText,
              QStringLiteral("Please enter the full path of the folder, starting with /."));
    EXPECT_EQ(settings.m_strAutoSavePath, absolute);
}

TEST_F(AppTest, OptionsOutputOffersToCreateAMissingFolderAtOk) {
    Start(kShownOptions);
    std::ofstream(Root() / "file") << "not a folder";
    const std::filesystem::path blocked = Root() / "file" / "Shots";
    const std::filesystem::path missing = Root() / "New" / "Shots";
    // Yes for the blocked one (its reason follows), No for the missing one, and Yes at the end.
    m_boxes.m_answers = {EMsgResult::Yes, EMsgResult::Ok, EMsgResult::No, EMsgResult::Yes};
    RunOnPage(Frame(), 2, true, [&](COptionsTreeDlg& dlg) {
        auto* pPath = FieldLabelled<QLineEdit>(dlg, QStringLiteral("Save files in &directory:"));
        for (const std::filesystem::path& folder : {blocked, missing}) {
            TypeInto(pPath, QString::fromStdString(folder.string()));
            ShowPage(dlg, 0);
            ClickOk(dlg);
            ASSERT_TRUE(dlg.isVisible());
            EXPECT_TRUE(dlg.CurrentPage() == 2 && pPath->hasFocus());
        }
    });
    ASSERT_EQ(m_boxes.m_shown.size(), 4u);
    EXPECT_EQ(m_boxes.m_shown[1].strText.toStdString(),
              "Cannot create " + blocked.string() + ": Not a directory.");
    EXPECT_EQ(m_boxes.m_shown[2].strText.toStdString(),
              "The folder " + missing.string() + " does not exist. Create it?");
    EXPECT_EQ(m_boxes.m_shown[2].buttons, EMsgButtons::YesNo);
    EXPECT_TRUE(std::filesystem::is_directory(missing));
    EXPECT_EQ(m_pApp->Settings().m_strAutoSavePath, missing.string());
}

// An emptied number field, left for another page, is neither put back nor stored: OK asks for
// its range and stays on it. The spin boxes of the other pages share the quality field's class.
TEST_F(AppTest, OptionsEmptiedNumberFieldsAskForTheirRange) {
    Start(kShownOptions);
    std::filesystem::create_directories(Root() / "Output");
    const std::tuple<int, const char*, const char*> fields[] = {
        {0, "Start capture after 300 + ", "0 and 5000"},
        {2, "and end with a", "2 and 6"},
        {4, "Compression quality:", "0 and 100"},
    };
    RunOnPage(Frame(), 0, true, [&](COptionsTreeDlg& dlg) {
        for (const auto& [nPage, pszLabel, pszRange] : fields) {
            ShowPage(dlg, nPage);
            auto* pField = FieldLabelled<QWidget>(dlg, QString::fromLatin1(pszLabel));
            const QString strOld = pField->property("text").toString();
            TypeInto(pField, QString());
            QTest::keyClick(pField, Qt::Key_Backspace);
            ShowPage(dlg, nPage == 0 ? 1 : 0);
            // Clicked, so that the focus leaves the field as it does for the user.
            QTest::mouseClick(ButtonWithText<QPushButton>(dlg, QStringLiteral("OK")),
                              Qt::LeftButton);
            ASSERT_TRUE(dlg.isVisible()) << pszLabel;
            EXPECT_TRUE(dlg.CurrentPage() == nPage && pField->hasFocus()) << pszLabel;
            EXPECT_EQ(pField->property("text").toString().toStdString(), "") << pszLabel;
            EXPECT_EQ(m_boxes.m_shown.back().strText.toStdString(),
                      std::string("Please enter an integer between ") + pszRange + ".");
            TypeInto(pField, strOld);
        }
    });
}
