// SPDX-License-Identifier: MIT
// The open dialog with its image types and preview, and the save dialog with the writers' types
// and the JPEG options, driven through File Open and Save As.
#include "AppFixture.h"
#include "DialogScript.h"
#include "codecs/PictureSave.h"

#include "dialogs/CustomSaveDlg.h"
#include "dialogs/FilePreviewDlg.h"
#include "dialogs/ImageFileFilters.h"
#include "dialogs/ImagePreview.h"
#include "document/TavixCaptureDoc.h"
#include "framework/CommandIds.h"
#include "framework/DocManager.h"
#include "image/DisplayBitmap.h"
#include "support/Programs.h"
#include "support/QtWait.h"

#include <QAbstractButton>
#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QDir>
#include <QFileSystemModel>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QScreen>
#include <QSpinBox>
#include <QTest>
#include <QTreeView>

#include <fstream>

using namespace apptest;

namespace {

// The names the dialog lists in folder dir, once its model has read the folder.
QStringList ListedNames(QFileDialog& dialog, const QString& strDir, int nExpected) {
    auto* pModel = dialog.findChild<QFileSystemModel*>();
    if (pModel == nullptr)
        return {};
    const QModelIndex parent = pModel->index(strDir);
    testsupport::WaitUntilPumping([&] { return pModel->rowCount(parent) >= nExpected; });
    QStringList names;
    for (int i = 0; i < pModel->rowCount(parent); ++i)
        names << pModel->index(i, 0, parent).data().toString();
    names.sort();
    return names;
}

// Clicks the entry of path in the dialog's file list, as the user picks a file (with Ctrl or
// Shift held for several).
void ClickEntry(QFileDialog& dialog, const QString& strPath,
                Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
    auto* pList = dialog.findChild<QTreeView*>(QStringLiteral("treeView"));
    auto* pModel = dialog.findChild<QFileSystemModel*>();
    const QModelIndex index = pModel->index(strPath);
    pList->scrollTo(index);
    QTest::mouseClick(pList->viewport(), Qt::LeftButton, modifiers,
                      pList->visualRect(index).center());
}

void TypeFileName(QFileDialog& dialog, const QString& strName) {
    auto* pEdit = dialog.findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
    pEdit->selectAll();
    QTest::keyClicks(pEdit, strName);
}

// The Open or Save button.
void ClickAccept(QFileDialog& dialog) {
    auto* pBox = dialog.findChild<QDialogButtonBox*>(QStringLiteral("buttonBox"));
    for (QAbstractButton* pButton : pBox->buttons())
        if (pBox->buttonRole(pButton) == QDialogButtonBox::AcceptRole)
            pButton->click();
}

// Picks the file type with the keyboard, as the user steps through the list.
void ChooseType(QFileDialog& dialog, int nIndex) {
    auto* pCombo = dialog.findChild<QComboBox*>(QStringLiteral("fileTypeCombo"));
    while (pCombo->currentIndex() != nIndex)
        QTest::keyClick(pCombo, pCombo->currentIndex() < nIndex ? Qt::Key_Down : Qt::Key_Up);
}

class FileDialogsTest : public AppTest {
protected:
    void SetUp() override {
        AppTest::SetUp();
        Start(0x0008167B & ~0x2u);
        m_strDir = QString::fromStdString((Root() / "files").string());
        QDir().mkpath(m_strDir + QStringLiteral("/album"));
    }
    QString m_strDir;
};

TEST_F(FileDialogsTest, OpenListsImageFilesAnyCaseAndPreviewsTheSelection) {
    QImage photo(640, 480, QImage::Format_RGB32);
    photo.fill(QColor(200, 120, 40));
    ASSERT_TRUE(photo.save(m_strDir + QStringLiteral("/Qorv00001.JPG"), "JPG"));
    std::ofstream(m_strDir.toStdString() + "/notes.txt") << "not an image";
    std::ofstream(m_strDir.toStdString() + "/broken.png") << "not a png either";
    bool bShown = false;
    WhenModal<CFilePreviewDlg>([&](CFilePreviewDlg& dialog) {
        bShown = true;
        EXPECT_TRUE(
            dialog.selectedNameFilter().startsWith(QStringLiteral("All supported graphic formats")))
            << dialog.selectedNameFilter().toStdString();
        EXPECT_TRUE(dialog.nameFilters().value(11).startsWith(
            QStringLiteral("All supported graphic formats (*.bmp *.dib *.rle *.jpg")));
        dialog.setDirectory(m_strDir);
        const QStringList names = ListedNames(dialog, m_strDir, 3);
        EXPECT_TRUE(names.contains(QStringLiteral("Qorv00001.JPG")))
            << names.join(u',').toStdString();
        EXPECT_TRUE(names.contains(QStringLiteral("broken.png")));
        EXPECT_FALSE(names.contains(QStringLiteral("notes.txt")));
        // A 24-bit JPEG is read at 32 bits per pixel.
        ClickEntry(dialog, m_strDir + QStringLiteral("/Qorv00001.JPG"));
        EXPECT_TRUE(WaitUntil([&] {
            return dialog.SizeLabel()->text() == QStringLiteral("Image size : (640,480)");
        }));
        EXPECT_EQ(dialog.DepthLabel()->text(), QStringLiteral("Color bits : 32"));
        EXPECT_TRUE(dialog.Preview()->HasImage());
        // A folder or a file that does not decode: no image, blank labels, the dialog goes on.
        for (const char* pszName : {"/album", "/broken.png"}) {
            ClickEntry(dialog, m_strDir + QString::fromLatin1(pszName));
            EXPECT_TRUE(WaitUntil([&] { return !dialog.Preview()->HasImage(); })) << pszName;
            EXPECT_EQ(dialog.DepthLabel()->text(), QStringLiteral("Color bits :  "));
        }
        // Preview off empties it; on again shows the selection.
        ClickEntry(dialog, m_strDir + QStringLiteral("/Qorv00001.JPG"));
        WaitUntil([&] { return dialog.Preview()->HasImage(); });
        dialog.PreviewCheck()->click();
        EXPECT_FALSE(dialog.Preview()->HasImage());
        EXPECT_EQ(dialog.SizeLabel()->text(), QStringLiteral("Image size :  "));
        dialog.PreviewCheck()->click();
        EXPECT_TRUE(dialog.Preview()->HasImage());
        ClickAccept(dialog);
    });
    Run(ID_FILE_OPEN);
    EXPECT_TRUE(bShown);
    ASSERT_EQ(m_pApp->DocManager().GetOpenDocumentCount(), 1);
    auto* pDoc = dynamic_cast<CTavixCaptureDoc*>(m_pApp->DocManager().Documents().front());
    ASSERT_NE(pDoc, nullptr);
    EXPECT_EQ(pDoc->GetImage()->Width(), 640);
    EXPECT_TRUE(m_boxes.m_shown.empty());
}

TEST_F(FileDialogsTest, OpenTakesSeveralFilesAndOneThatFailsKeepsNoneOfTheOthersBack) {
    for (const char* pszName : {"a.png", "c.png", "d.png"})
        WritePng(16, 12, QStringLiteral("files/") + QLatin1String(pszName));
    std::ofstream(m_strDir.toStdString() + "/b.png") << "not a png";
    WhenModal<CFilePreviewDlg>([&](CFilePreviewDlg& dialog) {
        dialog.setDirectory(m_strDir);
        ListedNames(dialog, m_strDir, 5);
        ClickEntry(dialog, m_strDir + QStringLiteral("/a.png"));
        // a to c, then d as well.
        ClickEntry(dialog, m_strDir + QStringLiteral("/c.png"), Qt::ShiftModifier);
        ClickEntry(dialog, m_strDir + QStringLiteral("/d.png"), Qt::ControlModifier);
        EXPECT_EQ(dialog.selectedFiles().size(), 4);
        ClickAccept(dialog);
    });
    Run(ID_FILE_OPEN);
    EXPECT_EQ(m_pApp->DocManager().GetOpenDocumentCount(), 3);
    ASSERT_EQ(m_boxes.m_shown.size(), 1u);
    EXPECT_TRUE(m_boxes.m_shown[0].strText.startsWith(QStringLiteral("b.png: ")));
}

TEST_F(FileDialogsTest, OpenAndSaveAsTakeTheirShareOfTheScreenAndShowWholeColumns) {
    // 602 bytes: Qt's own column is sized for "128.88 GB", which cuts it.
    for (const char* pszName : {"/small.png", "/small.jpg"})
        std::ofstream(m_strDir.toStdString() + pszName) << std::string(602, 'x');
    ASSERT_NE(Open(WritePng(20, 10)), nullptr); // for Save As
    for (unsigned nID : {ID_FILE_OPEN, ID_FILE_SAVE_AS}) {
        bool bFits = false;
        WhenModal<QFileDialog>([&](QFileDialog& dialog) {
            dialog.setDirectory(m_strDir);
            ListedNames(dialog, m_strDir, 2);
            const QSize available = dialog.screen()->availableGeometry().size();
            EXPECT_GE(dialog.height(), available.height() / 2) << nID;
            EXPECT_GE(dialog.width(), available.width() / 2) << nID;
            EXPECT_EQ(available.expandedTo(dialog.size()), available);
            // Size, type and date show whole; the names take the rest of the width.
            auto* pTree = dialog.findChild<QTreeView*>(QStringLiteral("treeView"));
            QHeaderView* pHeader = pTree->header();
            const QModelIndex root = pTree->rootIndex();
            bFits = testsupport::WaitUntilPumping([&] {
                for (int nRow = 0; nRow < pTree->model()->rowCount(root); ++nRow)
                    for (int nColumn = 1; nColumn < pHeader->count(); ++nColumn)
                        if (pTree->sizeHintForIndex(pTree->model()->index(nRow, nColumn, root))
                                .width() > pHeader->sectionSize(nColumn))
                            return false;
                return pHeader->length() >= pTree->viewport()->width();
            });
            dialog.reject();
        });
        Run(nID);
        EXPECT_TRUE(bFits) << nID;
    }
}

TEST_F(FileDialogsTest, SaveAsGivesTheChosenTypesExtensionAndJpegOptionsOnlyForJpeg) {
    QImage image(20, 10, QImage::Format_RGB32);
    image.fill(Qt::blue);
    NewDocument(image);
    WhenModal<CCustomSaveDlg>([&](CCustomSaveDlg& dialog) {
        EXPECT_TRUE(dialog.selectedNameFilter() == QStringLiteral("JPEG file (*.jpg)"));
        EXPECT_TRUE(dialog.JpegGroup()->isEnabled());
        ChooseType(dialog, 2);
        EXPECT_FALSE(dialog.JpegGroup()->isEnabled());
        ChooseType(dialog, 0);
        EXPECT_TRUE(dialog.JpegGroup()->isEnabled());
        ChooseType(dialog, 2); // "PNG file (*.png)"
        dialog.setDirectory(m_strDir);
        TypeFileName(dialog, QStringLiteral("shot"));
        ClickAccept(dialog);
    });
    Run(ID_FILE_SAVE_AS);
    std::ifstream file(m_strDir.toStdString() + "/shot.png", std::ios::binary);
    ASSERT_TRUE(file.good());
    char magic[4] = {};
    file.read(magic, 4);
    EXPECT_EQ(std::string(magic + 1, 3), "PNG");
}

TEST_F(FileDialogsTest, JpegQualityChangedThenCancelledIsUsedByTheNextSave) {
    if (!testsupport::HaveProgram("identify"))
        GTEST_SKIP() << "ImageMagick's identify is not installed";
    QImage image(64, 48, QImage::Format_RGB32);
    image.fill(Qt::darkGreen);
    NewDocument(image);
    const platform::JpegOptions stored = m_pApp->Settings().StoredJpegOptions();
    WhenModal<CCustomSaveDlg>([&](CCustomSaveDlg& dialog) {
        dialog.QualitySpin()->selectAll();
        QTest::keyClicks(dialog.QualitySpin(), QStringLiteral("80"));
        dialog.reject();
    });
    Run(ID_FILE_SAVE_AS);
    EXPECT_EQ(m_pApp->Settings().WorkingJpegOptions().wQuality, 80);
    EXPECT_EQ(m_pApp->Settings().StoredJpegOptions(), stored);
    WhenModal<CCustomSaveDlg>([&](CCustomSaveDlg& dialog) {
        EXPECT_EQ(dialog.QualitySpin()->value(), 80);
        dialog.setDirectory(m_strDir);
        TypeFileName(dialog, QStringLiteral("q"));
        ClickAccept(dialog);
    });
    Run(ID_FILE_SAVE_AS);
    const std::vector<std::string> identify{"identify", "-format", "%Q",
                                            m_strDir.toStdString() + "/q.jpg"};
    // Programs.h's runner (looked up in PATH); the second argument tells it from TempXdgTest's.
    const std::optional<std::string> quality = testsupport::RunProgram(identify, nullptr);
    ASSERT_TRUE(quality.has_value());
    EXPECT_EQ(*quality, "80");
}

} // namespace

TEST(ImageFileFilters, EveryNameOfAWritableFormatThatOpensAlsoSaves) {
    // A file opened as x.jpeg must save back as x.jpeg. EPS files carry a TIFF preview inside
    // PostScript: opened for the preview, never written.
    const QStringList writable{"JPEG File", "TIFF File", "PNG File", "BMP File", "GIF File"};
    int nChecked = 0;
    for (const QString& strFilter : dialogs::OpenImageFilters()) {
        const QString strType = strFilter.section(u'(', 0, 0).trimmed();
        if (!writable.contains(strType))
            continue;
        const QString strPatterns = strFilter.section(u'(', 1).chopped(1);
        for (const QString& strPattern : strPatterns.split(u' ')) {
            if (strPattern == QLatin1String("*.eps"))
                continue;
            for (const QString& strName :
                 {"x" + strPattern.mid(1), "x" + strPattern.mid(1).toUpper()}) {
                EXPECT_NE(codec::CreateEncoderForPath(strName.toStdString()), nullptr)
                    << strName.toStdString();
                ++nChecked;
            }
        }
    }
    EXPECT_GE(nChecked, 20);
}
